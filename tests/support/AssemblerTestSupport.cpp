#include "support/AssemblerTestSupport.h"

#include <unistd.h>

#include <atomic>
#include <iterator>

#include "io/ScrambledFile.h"

namespace quorvel::test {

ScratchFolder::ScratchFolder() {
    static std::atomic<int> serial{0};
    folder_ = std::filesystem::temp_directory_path() /
              ("quorvel-test-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void ScratchFolder::write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(folder_ / name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ScratchFolder::read(const std::string& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string scrambled(const std::string& plain) {
    std::string out = plain;
    for (char& c : out) c = static_cast<char>(static_cast<unsigned char>(c) ^ scramblingByte);
    return out;
}

}  // namespace quorvel::test
