// The NeWe container reader on arbitrary files. The input is the file before scrambling,
// so plain-text seeds reach the header parsing.

#include <cstddef>
#include <cstdint>
#include <fstream>

#include "FuzzSupport.h"
#include "io/ScrambledFile.h"

using namespace quorvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::scratchPath("container.dat");
    std::string bytes(reinterpret_cast<const char*>(data), size);
    for (char& c : bytes) c = static_cast<char>(static_cast<unsigned char>(c) ^ scramblingByte);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::string> lines = {"untouched"};
    if (!loadScrambledList(path, lines)) {
        if (!lines.empty()) fuzz::fail("a failed load left lines behind");
        return 0;
    }
    // Whatever loads survives a save and a second load unchanged.
    static const std::string copy = fuzz::scratchPath("container-copy.dat");
    if (!saveScrambledList(copy, lines)) fuzz::fail("saving loaded lines failed");
    std::vector<std::string> again;
    if (!loadScrambledList(copy, again) || again != lines) fuzz::fail("round trip changed lines");
    return 0;
}
