#pragma once

#include <string>
#include <vector>

#include "assembler/InstructionTable.h"
#include "platform/Platform.h"
#include "processor/RomImage.h"

namespace quorvel {

// What one assembly run works on and leaves behind.
struct AssemblyJob {
    const InstructionTable* table = nullptr;
    int calculatorType = 91;
    RomImage* romImage = nullptr;          // sized by the caller; its size is the ROM size
    std::vector<std::string> sourceLines;  // the source as loaded
    std::vector<std::string> romLines;     // one per ROM word, built by the layout pass
    std::vector<std::string> listing;      // the assembled listing; empty after a failure
};

// Loads the source file and assembles it into job.romImage. True when the ROM image and
// the listing are complete; otherwise exactly one message has been shown.
bool assembleMicrocode(const std::string& sourcePath, AssemblyJob& job, MessageBoxes& messages);

// The same run on job.sourceLines as they stand, without loading a file.
bool assembleSource(AssemblyJob& job, MessageBoxes& messages);

// The passes, in calling order. Each shows its own message when it fails.
bool checkLabelSyntax(const AssemblyJob& job, MessageBoxes& messages);
bool layoutRom(AssemblyJob& job, MessageBoxes& messages);
bool checkDuplicateLabels(const AssemblyJob& job, MessageBoxes& messages);
// Encodes every ROM word into job.romImage and appends its address and listing code to
// its ROM line.
bool encodeRom(AssemblyJob& job, MessageBoxes& messages);
// One listing line per ROM line, as the encoding pass left them.
std::vector<std::string> buildListing(const std::vector<std::string>& romLines);

// Texts of the messages the passes show.
inline constexpr const char* msgLoadFailed = "ERROR: Failed to load microcode file";
inline constexpr const char* msgMultipleColons = "ERROR: Multiple colons on line";
inline constexpr const char* msgInvalidLabelPrefix = "Invalid Label   ";
inline constexpr const char* msgInvalidOrgPrefix = "Invalid Org directive\r\rLine: ";
inline constexpr const char* msgRomOverflow = "Source code exceeds ROM space";
inline constexpr const char* msgDuplicateLabelPrefix = "ERROR: ROM page has duplicate Label:  [";
inline constexpr const char* msgNoCode = "There is no assembled code to run";

}  // namespace quorvel
