// Static checks of the assembled microcode: every branch reaches the label it names (the
// assembler keeps only the low bits of a target, so a label in the wrong page or block
// would be reached silently at the wrong word), and every key code lands on an entry of
// the key jump table.

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "assembler/Assembler.h"
#include "assembler/InstructionTable.h"
#include "io/ScrambledFile.h"
#include "io/TextUtils.h"
#include "panel/KeyTable.h"
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

    // The label a jump or call text names, if it names one.
    std::optional<int> target(const std::string& text) const {
        for (const char* form : {"then go to ", "if no carry go to ", "go to ", "jsb "}) {
            if (text.rfind(form, 0) == 0) {
                const auto found = labels.find(text.substr(std::string(form).size()));
                if (found != labels.end()) return found->second;
            }
        }
        return std::nullopt;
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

TEST(MicrocodeLayout, EveryBranchReachesItsLabel) {
    const Assembled& a = assembled();
    ASSERT_TRUE(a.ok);
    int checked = 0;
    for (int address = 0; address < romSize; ++address) {
        const std::string& text = a.texts[static_cast<size_t>(address)];
        const RomWord& word = a.rom[static_cast<size_t>(address)];
        const auto label = a.target(text);
        if (text.rfind("if ", 0) == 0 && text.rfind("if no carry", 0) != 0) {
            EXPECT_EQ(a.rom[static_cast<size_t>(address) + 1].addressWord, 1)
                << "no then go to after " << text;
        }
        if (!label) continue;
        ++checked;
        int reached = 0;
        if (word.addressWord) {
            reached = (address & 0x1C00) + word.word;
        } else {
            // A call or go to stays in the page of the following word unless the words
            // before it selected another bank and page; a go to into the first four pages
            // of bank 1 lands in bank 0.
            reached = ((address + 1) & 0x1F00) + (word.word & 0xFF);
            const std::string& before =
                address > 0 ? a.texts[static_cast<size_t>(address) - 1] : "";
            const std::string& twoBefore =
                address > 1 ? a.texts[static_cast<size_t>(address) - 2] : "";
            if (twoBefore.rfind("delayed select bank ", 0) == 0) {
                reached = (reached & 0x7FF) + std::stoi(twoBefore.substr(20)) * 4096;
            }
            if (before.rfind("delayed select rom ", 0) == 0) {
                reached = (reached & 0x10FF) + std::stoi(before.substr(19)) * 256;
            }
            if (text.rfind("jsb ", 0) != 0 && reached >= 4096 && reached < 5120) reached &= 4095;
        }
        EXPECT_EQ(reached, *label) << std::hex << "word $" << address << ": " << text;
        EXPECT_EQ(a.rom[static_cast<size_t>(reached)].addressWord, 0)
            << "lands on an address word: " << text;
    }
    EXPECT_GT(checked, 300);
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
