#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "assembler/InstructionTable.h"
#include "platform/Platform.h"
#include "processor/RomImage.h"

namespace quorvel {

// One finding of an assembly run, tied to its source line.
struct AssemblyDiagnostic {
    int line = 0;          // source line number from 1; 0 for a filler word or the whole run
    std::string text;      // one line: what is wrong, and where in the line
    std::string boxText;   // the message box's text (errors only)
    bool warning = false;  // warnings do not stop the run and are never shown in a box
};

// What one assembly run works on and leaves behind.
struct AssemblyJob {
    const InstructionTable* table = nullptr;
    int calculatorType = 91;
    RomImage* romImage = nullptr;          // sized by the caller; its size is the ROM size
    std::vector<std::string> sourceLines;  // the source as loaded
    std::vector<std::string> romLines;     // one per ROM word, built by the layout pass
    std::vector<std::string> listing;      // the assembled listing; empty after a failure
    // Every error and warning of the run, in the order found. A window shows only the
    // first error; the command-line assembler reports them all.
    std::vector<AssemblyDiagnostic> diagnostics;
    std::unordered_set<int> linesWithErrors;
    // For each ROM word whose jump or call names a label: the label's address (else -1).
    std::vector<int> labelTargets;

    bool hasErrors() const;
};

// Loads the source file and assembles it into job.romImage. True when the ROM image and
// the listing are complete; otherwise exactly one message (the first error) has been
// shown, and job.diagnostics holds every error found.
bool assembleMicrocode(const std::string& sourcePath, AssemblyJob& job, MessageBoxes& messages);

// The same run on job.sourceLines as they stand, without loading a file.
bool assembleSource(AssemblyJob& job, MessageBoxes& messages);

// The passes, in calling order. Each adds what it finds to job.diagnostics and goes on to
// the end of its input; false when it found an error. After a failed layout (the ROM is
// full) the later passes have nothing to work on.
bool checkLabelSyntax(AssemblyJob& job);
bool layoutRom(AssemblyJob& job);
bool checkDuplicateLabels(AssemblyJob& job);
// Encodes every ROM word into job.romImage and appends its address and listing code to
// its ROM line.
bool encodeRom(AssemblyJob& job);
// Warns about every jump or call that the page and bank rules take to another word than
// the label it names (only the low bits of a target are encoded).
void checkReachability(AssemblyJob& job);
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
inline constexpr const char* msgNoInstruction = "ERROR: The microcode file holds no instruction";

}  // namespace quorvel
