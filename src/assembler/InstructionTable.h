#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace quorvel {

// One row of the instruction table file.
struct InstructionRow {
    std::string listingCode;   // field 0: three characters for the listing's code column
    std::string description;   // field 1: free text
    std::string text;          // field 2: the normalised instruction text
    int32_t word = -1;         // field 3: the instruction word
    std::string availability;  // field 4: "AM" or two-digit type codes run together
};

class InstructionTable {
  public:
    const std::vector<InstructionRow>& rows() const { return rows_; }
    // Index of the first row with exactly this instruction text, -1 when there is none.
    int find(const std::string& text) const;
    bool empty() const { return rows_.empty(); }

    void clear();
    void add(InstructionRow row);

  private:
    std::vector<InstructionRow> rows_;
    std::unordered_map<std::string, int> firstRowOfText_;
};

// "OCMno.dat" for type 91, "OCM.dat" for every other type.
std::string instructionTableFileName(int calculatorType);

// Reads and checks the table file. False when the file cannot be loaded or a row fails its
// check; the table is then left empty.
bool loadInstructionTable(const std::string& path, InstructionTable& table);

// The built-in spellings of the source syntax.
inline constexpr const char* noOperationText = "no operation";

}  // namespace quorvel
