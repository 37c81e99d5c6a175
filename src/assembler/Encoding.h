#pragma once

// Encoding one ROM word: the source text reduced to an instruction text, the forms that
// carry an address rewritten, and the result looked up in the instruction table.

#include <cstdint>
#include <string>
#include <vector>

#include "assembler/InstructionTable.h"

namespace quorvel {

// The diagnostics of encodeLine.
inline constexpr const char* diagExpectingCode = "Expecting code after label";
inline constexpr const char* diagInvalidJsb = "Invalid [jsb xxx]";
inline constexpr const char* diagInvalidGoTo = "Invalid [go to xxx]";
inline constexpr const char* diagLabelNotFound = "Label not found - Check ROM page boundary";
inline constexpr const char* diagRelativeOutOfPage = "Go To +/- value extends out of ROM page";
inline constexpr const char* diagInvalidDelayedSelect = "Invalid delayed select rom address";
inline constexpr const char* diagUnrecognised = "Unrecognised Code";
inline constexpr const char* diagNotAvailablePrefix =
    "This instruction is not available for calculator type: ";
inline constexpr const char* diagThenGoToExpected = "Expecting [then go to] after [if]";

inline constexpr int noRememberedPage = -1;

// What one word tells the next during an assembly run; both start clear.
struct EncodingState {
    bool followsIf = false;                 // the previous word's text began with "if "
    int rememberedPage = noRememberedPage;  // the previous word was "delayed select rom N"
};

// What encodeLine reads besides the line itself.
struct EncodingContext {
    const InstructionTable* table = nullptr;
    int calculatorType = 91;
    int romSize = 0;
    const std::vector<std::string>* romLines = nullptr;  // searched for labels
};

struct LineEncoding {
    enum class Kind { instruction, addressWord, failed };
    Kind kind = Kind::failed;
    int row = -1;            // instruction: index of the matched table row
    int32_t address = 0;     // address word: the 10-bit target
    int labelTarget = -1;    // a jump or call to a label: the label's whole address
    std::string diagnostic;  // failed: the diagnostic text
};

// Encodes the text part of the ROM word at `address`. Updates the state for the next word
// unless the encoding failed.
LineEncoding encodeLine(const EncodingContext& context, int address, const std::string& textPart,
                        EncodingState& state);

// Address of the first ROM word in the search window whose text part begins, in any case,
// with name + ":"; -1 when there is none. The window is the page of currentAddress, the
// remembered page for "gotox", or the wide block after a page select or an "if".
int findLabel(const std::string& name, int currentAddress, bool gotox, bool followsIf,
              int rememberedPage, const std::vector<std::string>& romLines);

// True for an "AM" row, else when the two-digit type code is among the listed ones.
bool availableForType(const std::string& availability, int calculatorType);

}  // namespace quorvel
