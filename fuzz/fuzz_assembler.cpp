// The assembler on arbitrary source text against the generated instruction table. The
// first byte picks the ROM size, so the page and bank edges are reached.

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "assembler/Assembler.h"

using namespace quorvel;

namespace {

class CountingMessages : public MessageBoxes {
  public:
    void showError(const std::string&) override { ++shown; }
    void showInformation(const std::string&) override { ++shown; }
    bool confirm(const std::string&) override { return ++shown, false; }
    int shown = 0;
};

const InstructionTable& generatedTable() {
    static InstructionTable table;
    static bool loaded = [] {
        std::string path = fuzz::executableFolder() + "/" + instructionTableFileName(91);
        if (!loadInstructionTable(path, table)) {
            std::fprintf(stderr, "cannot load %s; build the data files first\n", path.c_str());
            std::abort();
        }
        return true;
    }();
    (void)loaded;
    return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int romSizes[] = {256, 1024, 8192, 300, 0, 4096 + 256};
    if (size == 0) return 0;
    const int romSize = romSizes[data[0] % std::size(romSizes)];

    RomImage rom(static_cast<size_t>(romSize));
    AssemblyJob job;
    job.table = &generatedTable();
    job.calculatorType = data[0] & 0x80 ? 1 : 91;
    job.romImage = &rom;
    job.sourceLines = fuzz::splitLines(data + 1, size - 1);
    CountingMessages messages;
    bool ok = assembleSource(job, messages);

    if (ok != (messages.shown == 0)) fuzz::fail("a run showed messages and succeeded");
    if (!ok && messages.shown != 1) fuzz::fail("a failed run did not show exactly one message");
    if (ok != !job.listing.empty()) fuzz::fail("listing and result disagree");
    if (ok) {
        if (job.listing.size() != rom.size()) fuzz::fail("listing does not cover the ROM");
        for (const RomWord& word : rom)
            if (word.addressWord && (word.word < 0 || word.word > 1023))
                fuzz::fail("address word beyond 10 bits");
    }
    return 0;
}
