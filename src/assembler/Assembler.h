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
    RomImage* romImage = nullptr;            // sized by the caller; its size is the ROM size
    std::vector<std::string> sourceLines;    // the source as loaded
    std::vector<std::string> romLines;       // one per ROM word, built by the layout pass
    std::vector<std::string> listing;        // the assembled listing; empty after a failure
};

// Loads the source file and assembles it into job.romImage. True when the ROM image and
// the listing are complete; otherwise exactly one message has been shown.
bool assembleMicrocode(const std::string& sourcePath, AssemblyJob& job, MessageBoxes& messages);

}  // namespace quorvel
