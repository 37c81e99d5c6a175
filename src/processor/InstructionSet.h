#pragma once

// The instruction set, defined once: every family of instruction words with the words it
// covers, its text, its handler and what it does to the test and display state. The
// instruction table the build packs, the executor's dispatch and the disassembler all come
// from this list.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "processor/RomImage.h"

namespace quorvel {

struct MachineState;
class MachinePeripherals;
struct DecodedWord;
using InstructionHandler = void (*)(MachineState&, const DecodedWord&, MachinePeripherals&);

// The jumps the executor works itself rather than through their handlers.
enum class JumpKind : uint8_t { none, goTo, call, doReturn };

// A ROM word decoded once: its handler, and what the handler would otherwise work out
// from the word every time.
struct DecodedWord {
    InstructionHandler handler = nullptr;
    int32_t word = 0;
    // Register arithmetic: the field's first and last digit; first > last is empty.
    // fieldAtP and fieldUpToP mean the field follows P.
    int8_t first = 0;
    int8_t last = -1;
    uint8_t addressWord = 0;
    bool tests = false;
    bool writesDisplay = false;
    bool readsCarry = false;
    // May write status bits: the run loop's status step must follow it.
    bool writesStatus = true;
    JumpKind jump = JumpKind::none;
};
inline constexpr int8_t fieldAtP = -1;
inline constexpr int8_t fieldUpToP = -2;

// How a family writes the argument it takes from its word into its text.
enum class ArgumentKind : uint8_t { none, decimal, hexByte, field };

struct InstructionFamily {
    int32_t word;   // the family's first word (argument 0)
    int32_t match;  // the bits of a 12-bit word that select the family
    ArgumentKind argument;
    int argumentShift;  // the argument is (word >> argumentShift) & argumentMask
    int argumentMask;
    const char* text;  // "{}" stands for the argument; nullptr: executes but has no text
    const char* description;
    InstructionHandler handler;
    bool tests;          // a test: the word after it is the 10-bit address of its branch
    bool writesDisplay;  // marks the display changed while the display is on
    bool readsCarry;     // the only family that does not start with the carry clear

    bool covers(int32_t w) const { return (w & match) == (word & match); }
    int members() const { return argument == ArgumentKind::none ? 1 : argumentMask + 1; }
    int32_t memberWord(int argumentValue) const {
        return word | ((argumentValue & argumentMask) << argumentShift);
    }
};

// The family that executes a word: the first, in the order of the packed instruction
// table, that covers it; none for a word that does nothing.
const InstructionFamily* familyOf(int32_t word);

// One word of the instruction table: the canonical words of every family that has a text.
struct InstructionText {
    int32_t word;
    const char* description;
    std::string text;
};
std::vector<InstructionText> instructionTexts();

// The text of a word as the assembler reads it; empty when the word is no family's
// canonical word.
std::string instructionText(int32_t word);
// A ROM word as a source line that assembles to it again: an address word becomes
// "then go to $XXX"; a word without a text becomes "word $XXX" (which does not assemble).
std::string disassemble(const RomWord& romWord);

// Register arithmetic's fields, by the field number in bits 0 to 2: names, and first and
// last digit (fieldAtP: the digit at P; fieldUpToP: digits 0 to P).
inline constexpr const char* fieldNames[8] = {"p", "m", "x", "w", "wp", "ms", "xs", "s"};
inline constexpr int8_t fieldDigits[8][2] = {{fieldAtP, 0},   {3, 12}, {0, 2}, {0, 13},
                                             {fieldUpToP, 0}, {3, 13}, {2, 2}, {13, 13}};

}  // namespace quorvel
