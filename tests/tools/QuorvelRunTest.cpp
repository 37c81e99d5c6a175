#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "io/ScrambledFile.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

// A data folder with the built instruction table, calculator data, face and character set,
// and a microcode of the test's own.
class RunnerFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("quorvel-run-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        for (const char* name : {"OCMno.dat", "dsplbno.dat", "PMnon.dat", "chdtfl73.dat"}) {
            fs::copy_file(fs::path(QUORVEL_DATA_DIR) / name, folder_ / name);
        }
    }
    void TearDown() override { fs::remove_all(folder_); }

    void microcode(const std::vector<std::string>& lines) {
        ASSERT_TRUE(saveScrambledList((folder_ / "cal73.pfl").string(), lines));
    }

    struct Outcome {
        int status = -1;
        std::string out;
        std::string err;
    };

    void plainSource(const std::string& name, const std::vector<std::string>& lines) {
        std::ofstream out(folder_ / name);
        for (const std::string& line : lines) out << line << "\n";
    }

    Outcome run(const std::string& arguments, const char* program = "quorvel-run") {
        const fs::path errFile = folder_ / "stderr.txt";
        const std::string command = std::string(QUORVEL_DATA_DIR) + "/" + program + " --data " +
                                    folder_.string() + " " + arguments + " 2>" + errFile.string();
        Outcome outcome;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return outcome;
        std::array<char, 4096> buffer{};
        size_t n = 0;
        while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            outcome.out.append(buffer.data(), n);
        const int status = pclose(pipe);
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        FILE* err = fopen(errFile.c_str(), "r");
        if (err) {
            while ((n = fread(buffer.data(), 1, buffer.size(), err)) > 0)
                outcome.err.append(buffer.data(), n);
            fclose(err);
        }
        return outcome;
    }

    fs::path folder_;
};

TEST_F(RunnerFolder, PrintsTheDisplayAndTheWordCount) {
    microcode({"start:  clear registers", "        display on", "idle:   key ready -> s3",
               "        if s3 = 1", "          then go to getkey", "        go to idle",
               "getkey: 0 -> c[w]", "        1 -> p", "        load constant 15",
               "        load constant 15", "        c -> data address", "        data -> c",
               "        c -> a[w]", "        shift left a[w]", "        shift left a[w]",
               "        0 -> b[w]", "        0 -> a[x]", "        go to idle"});
    const Outcome outcome = run("--trace 9 +");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("key 9 words "), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("key 9 words"), std::string::npos);
    EXPECT_NE(outcome.out.find("display \" 00000000020 00\""), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("\ndisplay \" 00000000018 00\"\n"), std::string::npos)
        << outcome.out;
    EXPECT_NE(outcome.out.find("\nwords "), std::string::npos) << outcome.out;
}

// The key-reading microcode of the test above, as a plain-text file.
const std::vector<std::string> keyReader = {"start:  clear registers",
                                            "        display on",
                                            "idle:   key ready -> s3",
                                            "        if s3 = 1",
                                            "          then go to getkey",
                                            "        go to idle",
                                            "getkey: 0 -> c[w]",
                                            "        1 -> p",
                                            "        load constant 15",
                                            "        load constant 15",
                                            "        c -> data address",
                                            "        data -> c",
                                            "        c exchange m1",
                                            "        0 -> c[w]",
                                            "        c -> data address",
                                            "        c exchange m1",
                                            "        c -> data register 3",
                                            "        go to idle"};

TEST_F(RunnerFolder, MicrocodeTools) {
    microcode({"start:  display on", "idle:   go to idle"});
    plainSource("keys.txt", keyReader);

    const Outcome traced = run("--source " + (folder_ / "keys.txt").string() + " --trace-words 9");
    EXPECT_EQ(traced.status, 0) << traced.err;
    EXPECT_NE(traced.out.find("\n0006 getkey: 0 -> c[w]  P 0 carry 0 A "), std::string::npos)
        << traced.out;
    EXPECT_NE(traced.out.find("\n0011 go to $02  P 13 carry 0 A "), std::string::npos);

    const Outcome stopped =
        run("--source " + (folder_ / "keys.txt").string() + " --break GETKEY --dump-ram 1 2");
    EXPECT_EQ(stopped.status, 0) << stopped.err;
    EXPECT_NE(stopped.out.find("break at $0006 getkey after key 1\nP "), std::string::npos)
        << stopped.out;
    EXPECT_NE(stopped.out.find("\nram 03 00000000000000\n"), std::string::npos);
    const Outcome dumped = run("--source " + (folder_ / "keys.txt").string() + " --dump-ram 1");
    const size_t register3 = dumped.out.find("\nram 03 ");
    ASSERT_NE(register3, std::string::npos) << dumped.out;
    EXPECT_NE(dumped.out.substr(register3 + 8, 14), "00000000000000") << "the key code is kept";
    EXPECT_EQ(run("--source " + (folder_ / "keys.txt").string() + " --break nowhere 1").status, 1);

    plainSource("bad.txt", {"start: display on", "x: y: return", "  a + 9 -> a[w]", "",
                            "if c[w] = 0", "return", "x: return"});
    const Outcome bad = run((folder_ / "bad.txt").string(), "quorvel-asm");
    EXPECT_EQ(bad.status, 1);
    const std::string file = (folder_ / "bad.txt").string();
    for (const char* line : {":2: Multiple colons", ":3: Unrecognised Code: a + 9 -> a[w]",
                             ":6: Expecting [then go to] after [if]: return"}) {
        EXPECT_NE(bad.err.find(file + line), std::string::npos) << line << "\n" << bad.err;
    }
    const Outcome good =
        run((folder_ / "keys.txt").string() + " --listing " + (folder_ / "keys.lst").string() +
                " --symbols " + (folder_ / "keys.sym").string(),
            "quorvel-asm");
    EXPECT_EQ(good.status, 0) << good.err;
    std::ifstream symbols(folder_ / "keys.sym");
    std::string symbolText((std::istreambuf_iterator<char>(symbols)), {});
    EXPECT_EQ(symbolText, "$0000 start\n$0002 idle\n$0006 getkey\n");
    EXPECT_TRUE(fs::file_size(folder_ / "keys.lst") > 0);
}

TEST_F(RunnerFolder, RunTimeErrorsExitWithTheMessageAndAddress) {
    microcode({"start:  display on", "idle:   key ready -> s3", "        if s3 = 1",
               "          then go to getkey", "        go to idle", "getkey: return"});
    const Outcome outcome = run("5");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find("ERROR: Return encountered with empty stack\nAddr: $0006"),
              std::string::npos)
        << outcome.err;
}

TEST_F(RunnerFolder, ACalculatorThatNeverWaitsAgainTimesOut) {
    microcode({"start:  display on", "idle:   key ready -> s3", "        if s3 = 1",
               "          then go to spin", "        go to idle", "spin:   go to spin"});
    const Outcome outcome = run("--max-words 20000 ENTER");
    EXPECT_EQ(outcome.status, 4);
    EXPECT_NE(outcome.err.find("ENTER"), std::string::npos) << outcome.err;
}

// Each print costs far more than a word, so the word limit alone would take long.
TEST_F(RunnerFolder, APrintLoopStopsAtTheTimeLimit) {
    microcode({"start:  display on", "idle:   key ready -> s3", "        if s3 = 1",
               "          then go to loop", "        go to idle", "loop:   print c digits",
               "        go to loop"});
    const auto begin = std::chrono::steady_clock::now();
    const Outcome outcome = run("--max-words 2000000000 --max-seconds 1 P");
    EXPECT_EQ(outcome.status, 4) << outcome.err;
    EXPECT_NE(outcome.err.find("1 seconds after key P"), std::string::npos) << outcome.err;
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(20));
}

TEST_F(RunnerFolder, PrintedLinesAppearOnTheTape) {
    microcode({"start:  display on", "idle:   key ready -> s3", "        if s3 = 1",
               "          then go to getkey", "        go to idle", "getkey: 0 -> c[w]",
               "        1 -> p", "        load constant 15", "        load constant 15",
               "        c -> data address", "        data -> c", "wait:   printer ready -> s3",
               "        if s3 = 0", "          then go to wait", "        print c digits",
               "        go to idle"});
    const Outcome outcome = run("P P");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    size_t lines = 0;
    for (size_t at = outcome.out.find("tape \""); at != std::string::npos;
         at = outcome.out.find("tape \"", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, 2u) << outcome.out;
}

TEST_F(RunnerFolder, UsageAndStartUpFailures) {
    microcode({"start:  display on", "idle:   go to idle"});
    EXPECT_EQ(run("NOSUCHKEY").status, 1);
    EXPECT_EQ(run("--mode sideways 1").status, 1);
    EXPECT_EQ(run("--max-words 0 1").status, 1);
    EXPECT_EQ(run("--max-seconds x 1").status, 1);

    microcode({"// a source without an instruction", "org $10"});
    const Outcome empty = run("1");
    EXPECT_EQ(empty.status, 3);
    EXPECT_NE(empty.err.find("holds no instruction"), std::string::npos) << empty.err;

    microcode({"start:  no such instruction"});
    const Outcome bad = run("1");
    EXPECT_EQ(bad.status, 3);
    EXPECT_NE(bad.err.find("Unrecognised Code"), std::string::npos) << bad.err;

    fs::remove(folder_ / "OCMno.dat");
    const Outcome noTable = run("1");
    EXPECT_EQ(noTable.status, 3);
    EXPECT_NE(noTable.err.find("ERROR: Invalid OCM file"), std::string::npos) << noTable.err;
}

// Each damaged data file stops the start naming the file, and a FIFO does not block it.
TEST_F(RunnerFolder, DamagedDataFilesAreStartUpFailuresNamingTheFile) {
    microcode({"start:  display on", "idle:   go to idle"});
    const auto path = [&](const char* name) { return (folder_ / name).string(); };
    // Rewrites a data file's lines through `change`.
    const auto edit = [&](const char* name, auto change) {
        std::vector<std::string> lines;
        ASSERT_TRUE(loadScrambledList(path(name), lines));
        change(lines);
        ASSERT_TRUE(saveScrambledList(path(name), lines));
    };
    const auto bytes = [&](const char* name) {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const auto write = [&](const char* name, const std::string& content) {
        fs::remove(path(name));
        std::ofstream(path(name), std::ios::binary) << content;
    };
    struct Case {
        const char* name;
        std::function<void()> damage;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"a FIFO in place of the calculator data",
         [&] {
             fs::remove(path("dsplbno.dat"));
             ASSERT_EQ(::mkfifo(path("dsplbno.dat").c_str(), 0600), 0);
         },
         "dsplbno.dat is not a regular file"},
        {"instruction table with half its length field",
         [&] {
             std::string file = bytes("OCMno.dat");
             const size_t start = file.find('\r' ^ scramblingByte) + 1;
             const size_t end = file.find('\r' ^ scramblingByte, start);
             write("OCMno.dat", file.erase(start + (end - start) / 2, (end - start + 1) / 2));
         },
         "OCMno.dat is damaged"},
        {"instruction table cut in half",
         [&] {
             const std::string file = bytes("OCMno.dat");
             write("OCMno.dat", file.substr(0, file.size() / 2));
         },
         "OCMno.dat is damaged"},
        {"a character code that is not hexadecimal",
         [&] { edit("chdtfl73.dat", [](auto& lines) { lines[3] = "x~zz~0~0~0~0~0~0~0~"; }); },
         "chdtfl73.dat, line 4: the code 'zz' is not hexadecimal"},
        {"a ROM size of zz",
         [&] {
             edit("dsplbno.dat", [](auto& lines) {
                 for (std::string& line : lines) {
                     if (line.rfind("000", 0) != 0) continue;
                     size_t field = 3;  // past the kind prefix
                     for (int n = 0; n < 5; ++n) field = line.find('~', field) + 1;
                     line.replace(field, line.find('~', field) - field, "zz");
                 }
             });
         },
         "the ROM size 'zz' is not a hexadecimal number"},
    };
    for (const Case& c : cases) {
        SetUp();
        microcode({"start:  display on", "idle:   go to idle"});
        c.damage();
        const Outcome outcome = run("1");
        EXPECT_EQ(outcome.status, 3) << c.name;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << c.name << ": " << outcome.err;
    }
}

TEST_F(RunnerFolder, KeyNamesAreCaseInsensitiveWithAliases) {
    microcode({"start:  display on", "idle:   key ready -> s3", "        if s3 = 1",
               "          then go to getkey", "        go to idle", "getkey: 0 -> c[w]",
               "        1 -> p", "        load constant 15", "        load constant 15",
               "        c -> data address", "        data -> c", "        go to idle"});
    EXPECT_EQ(run("enter shift bs BackSpace '*' x").status, 0);
}

}  // namespace
}  // namespace quorvel
