// The instruction table loader on arbitrary table text.

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "assembler/InstructionTable.h"
#include "io/ScrambledFile.h"

using namespace quorvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::scratchPath("table.dat");
    if (!saveScrambledList(path, fuzz::splitLines(data, size))) return 0;
    InstructionTable table;
    if (!loadInstructionTable(path, table)) {
        if (!table.empty()) fuzz::fail("a rejected table kept rows");
        return 0;
    }
    const auto& rows = table.rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].text.empty()) continue;
        if (rows[i].word < 0) fuzz::fail("a row with a text and a negative word passed");
        if (rows[i].availability.empty() || rows[i].availability.size() % 2 != 0)
            fuzz::fail("a row with a bad availability passed");
        int found = table.find(rows[i].text);
        if (found < 0 || static_cast<size_t>(found) > i || rows[found].text != rows[i].text)
            fuzz::fail("find does not give the first row of a text");
    }
    return 0;
}
