#include <gtest/gtest.h>

#include <filesystem>

#include "assembler/Assembler.h"
#include "io/ScrambledFile.h"
#include "support/AssemblerTables.h"
#include "support/AssemblerTestSupport.h"

namespace quorvel {
namespace {

using test::RecordingMessages;

// One assembly run of the given source lines against the small test table.
struct Assembly {
    explicit Assembly(std::vector<std::string> source, int romSize = 512, int type = 91)
        : table(test::assemblerTestTable()), rom(romSize) {
        job.table = &table;
        job.calculatorType = type;
        job.romImage = &rom;
        job.sourceLines = std::move(source);
        ok = assembleSource(job, messages);
    }
    InstructionTable table;
    RomImage rom;
    AssemblyJob job;
    RecordingMessages messages;
    bool ok = false;
};

std::vector<std::string> repeated(const std::string& line, int count) {
    return std::vector<std::string>(count, line);
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(AssembleSource, EveryFailureShowsExactlyOneMessage) {
    const std::string twenty = "a + 1 -> a[w]";
    struct Case {
        const char* name;
        std::vector<std::string> source;
        std::string message;
        int romSize = 512;
    } cases[] = {
        {"two colons", {"return", "a: b: return"}, "ERROR: Multiple colons on line"},
        {"two colons without a label", {"x : y : z"}, "ERROR: Multiple colons on line"},
        {"label too long", {"loop123: return"}, "Invalid Label   loop123:"},
        {"label character", {"lo_op: return"}, "Invalid Label   lo_op:"},
        {"lone colon", {": return"}, "Invalid Label   :"},
        {"colon inside", {"x:y"}, "Invalid Label   x:y"},
        {"label shown lower case", {"\tBAD-1: return"}, "Invalid Label   bad-1:"},
        {"org backwards", repeated(twenty, 20) + std::vector<std::string>{"  org $10 // back"},
         "Invalid Org directive\r\rLine: 21   org $10 // back"},
        {"org not hexadecimal", {"org $1g"}, "Invalid Org directive\r\rLine: 1 org $1g"},
        {"org with a blank", {"org $ 10"}, "Invalid Org directive\r\rLine: 1 org $ 10"},
        {"one line too many", repeated(twenty, 513), "Source code exceeds ROM space"},
        {"org past the ROM", {"org $201"}, "Source code exceeds ROM space"},
        {"org to the end then code", {"org $200", "return"}, "Source code exceeds ROM space"},
        {"duplicate in a page",
         {"LOOP: return", "x: return", "Loop: return"},
         "ERROR: ROM page has duplicate Label:  [loop:]"},
        {"first duplicate by address",
         {"b: return", "a: return", "a: return", "b: return"},
         "ERROR: ROM page has duplicate Label:  [b:]"},
        {"tabbed labels clash too",
         {"\tloop: return", "loop: return"},
         "ERROR: ROM page has duplicate Label:  [loop:]"},
        {"unrecognised",
         {"return", "", "\tHere: A + 2 -> A[W]\t// note"},
         "ERROR: Unrecognised Code\r\r Here: A + 2 -> A[W] \r\rLine number: 3"},
        {"label without code",
         {"loop: // nothing"},
         "ERROR: Expecting code after label\r\rloop: \r\rLine number: 1"},
        {"jump to another page",
         {"loop: return", "org $100", "go to loop"},
         "ERROR: Label not found - Check ROM page boundary\r\rgo to loop\r\rLine number: 3"},
        {"duplicate in a partial last page",
         {"org $100", "x: return", "x: return"},
         "ERROR: ROM page has duplicate Label:  [x:]",
         258},
        {"test without its branch",
         {"if c[w] = 0", "return"},
         "ERROR: Expecting [then go to] after [if]\r\rreturn\r\rLine number: 2"},
        {"test followed by go to",
         {"if c[w] = 0", "go to $0"},
         "ERROR: Expecting [then go to] after [if]\r\rgo to $0\r\rLine number: 2"},
        {"no instruction", {"// only a comment", "org $10"}, msgNoInstruction},
        {"no code at all", {"// only a comment"}, "There is no assembled code to run", 0},
        {"code without ROM", {"return"}, "Source code exceeds ROM space", 0},
    };
    for (const Case& c : cases) {
        Assembly run(c.source, c.romSize);
        EXPECT_FALSE(run.ok) << c.name;
        EXPECT_EQ(run.messages.only(), c.message) << c.name;
        EXPECT_TRUE(run.job.listing.empty()) << c.name;
    }
    Assembly empty({"// only a comment"}, 0);
    EXPECT_EQ(empty.messages.information.size(), 1u);
}

TEST(AssembleSource, ReportsEveryErrorButShowsOnlyTheFirst) {
    Assembly run({"a: b: return", "return", "a + 9 -> a[w]", "if c[w] = 0", "return", "x: return",
                  "org $100", "x: return", "x: return"});
    EXPECT_EQ(run.messages.only(), "ERROR: Multiple colons on line");
    std::vector<std::pair<int, std::string>> found;
    for (const AssemblyDiagnostic& d : run.job.diagnostics) found.emplace_back(d.line, d.text);
    const std::vector<std::pair<int, std::string>> expected = {
        {1, "Multiple colons on line"},
        {9, "Duplicate label x: (first on line 8)"},
        {3, "Unrecognised Code: a + 9 -> a[w]"},
        {5, "Expecting [then go to] after [if]: return"},
    };
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(run.job.listing.empty());
}

TEST(AssembleSource, WarnsWhereAJumpMissesTheLabelItNames) {
    struct Case {
        const char* name;
        std::vector<std::string> source;
        int warnedLine;  // 0: no warning
    } cases[] = {
        // The page select finds the label in the wide window, but sends the jump elsewhere.
        {"select of the wrong page",
         {"delayed select rom 2", "go to far", "org $100", "far: return"},
         2},
        {"select of the right page",
         {"delayed select rom 1", "go to far", "org $100", "far: return"},
         0},
        // After a test the label is searched bank-wide; the branch stays in its 1024 words.
        {"branch into another block",
         {"if c[w] = 0", "then go to far", "org $400", "far: return"},
         2},
        {"branch in its block", {"if c[w] = 0", "then go to near", "near: return"}, 0},
    };
    for (const Case& c : cases) {
        Assembly run(c.source, 2048);
        ASSERT_TRUE(run.ok) << c.name << ": " << run.messages.only();
        int warned = 0;
        for (const AssemblyDiagnostic& d : run.job.diagnostics)
            if (d.warning) warned = d.line;
        EXPECT_EQ(warned, c.warnedLine) << c.name;
    }
}

TEST(AssembleSource, AFillerWordThatFailsHasNoLineNumber) {
    InstructionTable noFiller;
    noFiller.add({"001", "", "return", 1, "AM"});
    RomImage rom(256);
    AssemblyJob job;
    job.table = &noFiller;
    job.romImage = &rom;
    job.sourceLines = {"return"};
    RecordingMessages messages;
    EXPECT_FALSE(assembleSource(job, messages));
    EXPECT_EQ(messages.only(), "ERROR: Unrecognised Code\r\rno operation\r\rLine number: ");
}

TEST(AssembleSource, AcceptedSyntax) {
    struct Case {
        const char* name;
        std::vector<std::string> source;
    } cases[] = {
        {"labels of every shape", {"LOOP: return", "loop12: return", "12: return", "a: return"}},
        {"comment and blank lines", {"", "\t  ", "// x: y: z", "/b anything: at all", "return"}},
        {"org at the start", {"org $0", "return"}},
        {"org to the current point", {"return", "org $1"}},
        {"exactly full", repeated("return", 512)},
        {"full through org", {"org $1FF", "return"}},
        {"same label in two pages", {"loop: go to loop", "org $100", "loop: go to loop"}},
        {"a partial last page", {"org $200", "x: go to x", "y: go to x"}},
    };
    for (const Case& c : cases) {
        const int romSize = std::string(c.name).starts_with("a partial") ? 514 : 512;
        Assembly run(c.source, romSize);
        EXPECT_TRUE(run.ok) << c.name << ": " << run.messages.only();
        EXPECT_EQ(run.messages.count(), 0u) << c.name;
        EXPECT_EQ(run.job.listing.size(), static_cast<size_t>(romSize)) << c.name;
    }
}

TEST(AssembleSource, LayoutAndRomImage) {
    Assembly run({"// start", "return", "ORG $1A0", "if c[w] = 0", "then go to loop",
                  "loop: return", "org $1C0", "  then go to .5", "go to loop"});
    ASSERT_TRUE(run.ok) << run.messages.only();
    ASSERT_EQ(run.job.romLines.size(), 512u);
    EXPECT_EQ(run.job.romLines[0], "2~return0000001");
    EXPECT_EQ(run.job.romLines[1], "no operation0001000");
    EXPECT_EQ(run.rom[0].word, 0x001);
    for (int address = 1; address < 0x1A0; ++address) {
        EXPECT_EQ(run.rom[address].word, 0) << address;
        EXPECT_EQ(run.rom[address].addressWord, 0) << address;
    }
    EXPECT_EQ(run.rom[0x1A0].word, 0x36B);
    // The word after the test is its 10-bit target, flagged.
    EXPECT_EQ(run.rom[0x1A1].word, 0x1A2);
    EXPECT_EQ(run.rom[0x1A1].addressWord, 1);
    EXPECT_EQ(run.job.romLines[0x1A1], "5~then go to loop01A11A2");
    EXPECT_EQ(run.rom[0x1A2].word, 0x001);
    // Not after a test: an ordinary go to.
    EXPECT_EQ(run.rom[0x1C0].word, 0x205);
    EXPECT_EQ(run.rom[0x1C0].addressWord, 0);
    EXPECT_EQ(run.rom[0x1C1].word, 0x2A2);
    EXPECT_EQ(run.rom[511].word, 0);
}

TEST(AssembleSource, ALabelAfterAPageSelectIsFoundInTheWideWindow) {
    Assembly run({"delayed select rom 1", "go to far", "org $100", "far: return"});
    ASSERT_TRUE(run.ok) << run.messages.only();
    EXPECT_EQ(run.rom[1].word, 0x200);
    Assembly without({"return", "go to far", "org $100", "far: return"});
    EXPECT_EQ(without.messages.only(),
              "ERROR: Label not found - Check ROM page boundary\r\rgo to far\r\rLine number: 2");
}

TEST(BuildListing, Columns) {
    struct Case {
        const char* romLine;
        const char* listing;
    } cases[] = {
        {"5~loop: a + 1 -> a[w]01A32F4", "$01A3 2F4  loop:    a + 1 -> a[w]"},
        {"6~   return01A4001", "$01A4 001           return"},
        {"7~then go to loop01A51A2", "$01A5 1A2               then go to loop"},
        {"7~x: Then go to loop01A51A2", "$01A5 1A2  x:           Then go to loop"},
        {"8~then go to loop  // back01A61A2",
         "$01A6 1A2           then go to loop         // back"},
        {"9~X1:  Return   // r01A7001", "$01A7 001  X1:      return                  // r"},
        {"no operation0005000", "$0005 000           no operation"},
        {"10~go to $+1 // a // b0008201", "$0008 201           go to $+1               // a // b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(buildListing({c.romLine}), std::vector<std::string>{c.listing}) << c.romLine;
    // Shorter than the address and code: no out-of-range read.
    EXPECT_EQ(buildListing({"1~ab"}).size(), 1u);
    EXPECT_TRUE(buildListing({}).empty());
}

TEST(AssembleMicrocode, LoadsTheScrambledSource) {
    test::ScratchFolder folder;
    InstructionTable table = test::assemblerTestTable();
    RomImage rom(256);
    AssemblyJob job;
    job.table = &table;
    job.romImage = &rom;

    ASSERT_TRUE(
        saveScrambledList(folder.path("cal73.pfl"), {"start: a + 1 -> a[w]", "go to start"}));
    RecordingMessages messages;
    ASSERT_TRUE(assembleMicrocode(folder.path("cal73.pfl"), job, messages));
    EXPECT_EQ(messages.count(), 0u);
    EXPECT_EQ(job.listing.size(), 256u);
    EXPECT_EQ(job.listing[0], "$0000 3FB  start:   a + 1 -> a[w]");
    EXPECT_EQ(job.listing[1], "$0001 200           go to start");
    EXPECT_EQ(rom[1].word, 0x200);

    // Every way the source can fail to load, and a failed run empties the listing.
    folder.write("empty.pfl", "");
    folder.write("zero.pfl", test::scrambled("NeWe\r0\r"));
    folder.write("plain.pfl", "start: return\r\n");
    std::filesystem::create_directory(folder.path("dir.pfl"));
    for (const char* name : {"missing.pfl", "empty.pfl", "zero.pfl", "plain.pfl", "dir.pfl"}) {
        RecordingMessages failed;
        EXPECT_FALSE(assembleMicrocode(folder.path(name), job, failed)) << name;
        EXPECT_EQ(failed.errors, std::vector<std::string>{msgLoadFailed}) << name;
        EXPECT_TRUE(job.listing.empty()) << name;
        job.listing = {"stale"};
    }
}

TEST(AssembleMicrocode, NoTableOrRomIsAReportedFailure) {
    AssemblyJob job;
    job.sourceLines = {"return"};
    RecordingMessages messages;
    EXPECT_FALSE(assembleSource(job, messages));
    EXPECT_EQ(messages.only(), msgRomOverflow);
}

}  // namespace
}  // namespace quorvel
