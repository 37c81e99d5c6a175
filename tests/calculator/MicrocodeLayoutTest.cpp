// Static checks of the assembled microcode: the assembler has nothing to warn about
// (every branch reaches the label it names), every key code lands on an entry of the key
// jump table, and the disassembled ROM assembles to the same ROM.

#include <gtest/gtest.h>

#include <map>

#include "assembler/Assembler.h"
#include "assembler/InstructionTable.h"
#include "io/ScrambledFile.h"
#include "io/TextUtils.h"
#include "panel/KeyTable.h"
#include "processor/InstructionSet.h"
#include "support/AssemblerTestSupport.h"

namespace quorvel {
namespace {

constexpr int romSize = 0x2000;

struct Assembled {
    Assembled() : rom(romSize) {
        EXPECT_TRUE(loadInstructionTable(std::string(QUORVEL_DATA_DIR) + "/OCMno.dat", table));
        job.table = &table;
        job.romImage = &rom;
        EXPECT_TRUE(
            loadScrambledList(std::string(QUORVEL_DATA_DIR) + "/cal73.pfl", job.sourceLines));
        ok = assembleSource(job, messages);
        for (int address = 0; address < romSize; ++address) {
            // The encoding pass appends the address and listing code (seven characters).
            std::string line = job.romLines[static_cast<size_t>(address)];
            line.erase(line.size() >= 7 ? line.size() - 7 : 0);
            const size_t tilde = line.find('~');
            std::string text = tilde == std::string::npos ? "no operation" : line.substr(tilde + 1);
            text = normaliseLine(text.substr(0, text.find("//")));
            const size_t colon = text.find(':');
            if (colon != std::string::npos && text.find(' ') > colon) {
                const std::string label = text.substr(0, colon);
                if (labels.count(label)) duplicates.push_back(label);
                labels[label] = address;
                text = normaliseLine(text.substr(colon + 1));
            }
            texts.push_back(text);
        }
    }

    InstructionTable table;
    RomImage rom;
    AssemblyJob job;
    test::RecordingMessages messages;
    bool ok = false;
    std::vector<std::string> texts;
    std::map<std::string, int> labels;
    std::vector<std::string> duplicates;
};

const Assembled& assembled() {
    static const Assembled instance;
    return instance;
}

TEST(MicrocodeLayout, AssemblesWithUniqueLabels) {
    ASSERT_TRUE(assembled().ok) << assembled().messages.only();
    EXPECT_TRUE(assembled().duplicates.empty()) << assembled().duplicates.front();
}

TEST(MicrocodeLayout, NothingToWarnAbout) {
    ASSERT_TRUE(assembled().ok);
    for (const AssemblyDiagnostic& d : assembled().job.diagnostics)
        ADD_FAILURE() << "line " << d.line << ": " << d.text;
}

TEST(MicrocodeLayout, DisassembledRomAssemblesToTheSameRom) {
    const Assembled& a = assembled();
    ASSERT_TRUE(a.ok);
    AssemblyJob again;
    RomImage rom(romSize);
    again.table = &a.table;
    again.romImage = &rom;
    for (const RomWord& word : a.rom) again.sourceLines.push_back(disassemble(word));
    test::RecordingMessages messages;
    ASSERT_TRUE(assembleSource(again, messages)) << messages.only();
    for (int address = 0; address < romSize; ++address) {
        const RomWord& want = a.rom[static_cast<size_t>(address)];
        const RomWord& got = rom[static_cast<size_t>(address)];
        ASSERT_TRUE(got.word == want.word && got.addressWord == want.addressWord)
            << std::hex << "$" << address << ": "
            << again.sourceLines[static_cast<size_t>(address)];
    }
}

TEST(MicrocodeLayout, EveryKeyCodeHasAnEntryInTheJumpTable) {
    const Assembled& a = assembled();
    ASSERT_TRUE(a.ok);
    for (const KeyEntry& key : keyTable) {
        for (int code : {key.code, key.alternateCode}) {
            if (code < 0) continue;
            const int offset = (code / 10) * 16 + code % 10;
            const RomWord& entry = a.rom[static_cast<size_t>(offset)];
            EXPECT_TRUE(instructionClass(entry.word) == 2 && !entry.addressWord)
                << key.legend << " code " << code << " lands on "
                << a.texts[static_cast<size_t>(offset)];
        }
    }
}

}  // namespace
}  // namespace quorvel
