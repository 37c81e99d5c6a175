#pragma once

// Helpers shared by the fuzz targets.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace quorvel::fuzz {

// Lines split at CR, LF or CRLF, as the container loader splits them.
inline std::vector<std::string> splitLines(const uint8_t* data, size_t size) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] != '\r' && data[i] != '\n') continue;
        lines.emplace_back(reinterpret_cast<const char*>(data) + start, i - start);
        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < size) lines.emplace_back(reinterpret_cast<const char*>(data) + start, size - start);
    return lines;
}

// A scratch file of this process.
inline std::string scratchPath(const char* name) {
    return (std::filesystem::temp_directory_path() /
            ("quorvel-fuzz-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

// The folder of the running executable, where the build puts the packed data files.
inline std::string executableFolder() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

}  // namespace quorvel::fuzz
