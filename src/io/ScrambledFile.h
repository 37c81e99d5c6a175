#pragma once

// The scrambled storage forms of the data files: the NeWe text container and the
// whole-file form of the face picture. Every byte is XORed with one fixed byte.

#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Platform.h"

namespace quorvel {

constexpr unsigned char scramblingByte = 0xA7;

// What reading a container found.
enum class ListFile {
    loaded,  // at least one line
    empty,   // a whole container without payload, as saving an empty list writes it
    missing,
    notRegular,  // a folder, a FIFO, a device: never opened
    unreadable,  // exists but cannot be opened or read
    damaged,     // a bad header, or a declared length that differs from the payload
};

// Reads a container. A damaged file gives the complete lines in front of the damage; every
// other result but `loaded` gives no lines.
ListFile readScrambledList(const std::string& path, std::vector<std::string>& lines);
// True when the file was read and gave at least one line. A missing file leaves the list
// untouched; any other failure leaves it empty.
bool loadScrambledList(const std::string& path, std::vector<std::string>& lines);
// A container's lines, or else the lines of a plain text file (ended by LF, CR LF or CR):
// the microcode tools take either. False when the file cannot be read at all.
bool loadListOrText(const std::string& path, std::vector<std::string>& lines);
// Every byte of a regular file; false for a special file or a failed read.
bool readWholeFile(const std::string& path, std::vector<unsigned char>& bytes);
// Replaces the file as a whole (a temporary file, synced, then renamed over it): a failed
// write leaves the old file. An existing file keeps its permissions, and a symbolic link
// is written through to its target. True when the whole file was written.
bool saveScrambledList(const std::string& path, const std::vector<std::string>& lines);
// Writes the source scrambled byte by byte to the destination; reports failures in a box.
void scrambleFileCopy(const std::string& sourcePath, const std::string& destinationPath,
                      MessageBoxes& messages);
// Unscrambles a whole-file scrambled PNG and decodes it; false leaves the picture as it was.
bool loadScrambledPicture(const std::string& path, Bitmap& picture);

// Why a data file cannot be used, for a start-up message: "NAME is missing", "... is not a
// regular file", "... cannot be read" or "... is damaged". Empty when the container reads
// whole (its contents may still be wrong).
std::string scrambledFileProblem(const std::string& path);
// The same for the face picture: also "... is not a picture" when it does not decode.
std::string pictureFileProblem(const std::string& path);

// The caller's start-up message, followed by what is wrong with the file when the
// container itself is at fault: "ERROR: Invalid OCM file: OCMno.dat is damaged".
std::string withFileProblem(const std::string& message, const std::string& path);

// True when something other than a regular file (or a link to one) stands at the path.
bool isSpecialFile(const std::string& path);
// "ERROR: PATH is not a regular file" for the first of the paths that is special; empty
// when none is. Checked before start-up opens any of them.
std::string specialFileMessage(const std::vector<std::string>& paths);

// Renames a damaged file aside to NAME.damaged, or NAME.damaged-2, -3, ... when that is
// taken: an earlier one is never overwritten. The new path, empty when it could not move.
std::string setFileAside(const std::string& path);

// A damaged file found while reading the settings or the roll, and where it went.
struct DamagedFile {
    std::string path;     // empty: nothing was damaged
    std::string movedTo;  // empty: it could not be moved and stays where it was
    int linesKept = 0;    // the lines read in front of the damage
    explicit operator bool() const { return !path.empty(); }
};
// One message for the user about a damaged file, naming it and where it was kept.
std::string damagedFileMessage(const DamagedFile& damage, const std::string& what);

// PNG without scrambling, for the generator tools and tests.
bool decodePng(const std::vector<unsigned char>& bytes, Bitmap& picture);
bool savePng(const std::string& path, const Bitmap& picture);

}  // namespace quorvel
