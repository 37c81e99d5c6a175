#include "panel/StorageFolder.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

namespace quorvel {

bool folderIsWritable(const std::string& folder) {
    const std::string probe = folder + "/.quorvel-write-test-" + std::to_string(::getpid());
    std::FILE* file = std::fopen(probe.c_str(), "wb");
    if (!file) return false;
    std::fclose(file);
    std::remove(probe.c_str());
    return true;
}

StorageFolder::StorageFolder(std::string programFolder, std::string userFolder,
                             bool programFolderWritable)
    : programFolder_(std::move(programFolder)),
      userFolder_(std::move(userFolder)),
      useUserFolder_(!userFolder_.empty() && !programFolderWritable) {}

StorageFolder::StorageFolder(std::string programFolder, std::string userFolder)
    : StorageFolder(programFolder, std::move(userFolder), folderIsWritable(programFolder)) {}

std::string StorageFolder::readPath(const std::string& name) const {
    if (useUserFolder_) {
        const std::string written = userFolder_ + "/" + name;
        std::error_code error;
        if (std::filesystem::exists(written, error)) return written;
    }
    return programFolder_ + "/" + name;
}

std::string StorageFolder::writePath(const std::string& name) const {
    if (useUserFolder_) {
        std::error_code error;
        std::filesystem::create_directories(userFolder_, error);
    }
    return folder() + "/" + name;
}

}  // namespace quorvel
