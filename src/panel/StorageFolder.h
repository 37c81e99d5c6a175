#pragma once

#include <string>

namespace quorvel {

// Where the files the program writes (the settings and the roll) live: beside the program
// while its folder is writable, otherwise in the user's own data folder, so that an
// installed copy loses nothing. The data files the program only reads stay beside it.
class StorageFolder {
  public:
    StorageFolder() = default;
    // An empty user folder means there is none: everything stays beside the program.
    StorageFolder(std::string programFolder, std::string userFolder);
    // The same with the program folder's writability given rather than tried.
    StorageFolder(std::string programFolder, std::string userFolder, bool programFolderWritable);

    bool usesUserFolder() const { return useUserFolder_; }
    const std::string& folder() const { return useUserFolder_ ? userFolder_ : programFolder_; }

    // The file to read: the written one, or, for a first start in the user folder, the
    // copy beside the program.
    std::string readPath(const std::string& name) const;
    // The file to write; creates the user folder when it is needed.
    std::string writePath(const std::string& name) const;

  private:
    std::string programFolder_;
    std::string userFolder_;
    bool useUserFolder_ = false;
};

// True when a file can be created in the folder (tried, then removed).
bool folderIsWritable(const std::string& folder);

}  // namespace quorvel
