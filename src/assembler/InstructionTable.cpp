#include "assembler/InstructionTable.h"

#include "io/ScrambledFile.h"
#include "io/TextUtils.h"

namespace quorvel {

int InstructionTable::find(const std::string& text) const {
    auto found = firstRowOfText_.find(text);
    return found == firstRowOfText_.end() ? -1 : found->second;
}

void InstructionTable::clear() {
    rows_.clear();
    firstRowOfText_.clear();
}

void InstructionTable::add(InstructionRow row) {
    // Rows without a text can never match; only the first row of a text is ever used.
    if (!row.text.empty()) firstRowOfText_.emplace(row.text, static_cast<int>(rows_.size()));
    rows_.push_back(std::move(row));
}

std::string instructionTableFileName(int calculatorType) {
    return calculatorType == 91 ? "OCMno.dat" : "OCM.dat";
}

bool loadInstructionTable(const std::string& path, InstructionTable& table) {
    table.clear();
    std::vector<std::string> lines;
    if (!loadScrambledList(path, lines)) return false;
    stripDataComments(lines);
    for (const std::string& line : lines) {
        InstructionRow row;
        row.listingCode = tildeField(line, 0);
        row.description = tildeField(line, 1);
        row.text = tildeField(line, 2);
        row.word = hexToInt(tildeField(line, 3), -1);
        row.availability = tildeField(line, 4);
        if (!row.text.empty() &&
            (row.word < 0 || row.availability.empty() || row.availability.size() % 2 != 0)) {
            table.clear();
            return false;
        }
        table.add(std::move(row));
    }
    return true;
}

}  // namespace quorvel
