#pragma once

#include <string>

namespace quorvel {

// The folder of the running program, where the build puts the packed data files;
// "." when it cannot be found.
std::string executableFolder();

}  // namespace quorvel
