#pragma once

// The scrambled storage forms of the data files: the NeWe text container and the
// whole-file form of the face picture. Every byte is XORed with one fixed byte.

#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Platform.h"

namespace quorvel {

constexpr unsigned char scramblingByte = 0xA7;

// True when the file was read and gave at least one line. A missing file leaves the list
// untouched; any other failure leaves it empty.
bool loadScrambledList(const std::string& path, std::vector<std::string>& lines);
// True when the whole file was written.
bool saveScrambledList(const std::string& path, const std::vector<std::string>& lines);
// Writes the source scrambled byte by byte to the destination; reports failures in a box.
void scrambleFileCopy(const std::string& sourcePath, const std::string& destinationPath,
                      MessageBoxes& messages);
// Unscrambles a whole-file scrambled PNG and decodes it; false leaves the picture as it was.
bool loadScrambledPicture(const std::string& path, Bitmap& picture);

// PNG without scrambling, for the generator tools and tests.
bool decodePng(const std::vector<unsigned char>& bytes, Bitmap& picture);
bool savePng(const std::string& path, const Bitmap& picture);

}  // namespace quorvel
