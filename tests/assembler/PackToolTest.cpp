// The packer as the data build runs it.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "io/ScrambledFile.h"
#include "support/AssemblerTestSupport.h"

namespace quorvel {
namespace {

struct Outcome {
    int status;
    std::string errors;
};

Outcome pack(const test::ScratchFolder& folder, const std::string& arguments) {
    std::string command = std::string(QUORVEL_DATA_DIR) + "/quorvel-pack " + arguments + " 2>" +
                          folder.path("stderr.txt");
    int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, folder.read("stderr.txt")};
}

TEST(QuorvelPack, TextLinesIntoTheContainer) {
    test::ScratchFolder folder;
    folder.write("in.txt", "first\r\nsecond\rthird\n\nlast caf\xc3\xa9");
    ASSERT_EQ(pack(folder, folder.path("in.txt") + " " + folder.path("out.dat")).status, 0);
    std::vector<std::string> lines;
    ASSERT_TRUE(loadScrambledList(folder.path("out.dat"), lines));
    EXPECT_EQ(lines,
              (std::vector<std::string>{"first", "second", "third", "", "last caf\xc3\xa9"}));
}

TEST(QuorvelPack, WholeFileByteByByte) {
    test::ScratchFolder folder;
    const std::string bytes("\x89PNG\r\n\x1a\n\x00\xa7", 10);
    folder.write("in.png", bytes);
    ASSERT_EQ(
        pack(folder, "--whole " + folder.path("in.png") + " " + folder.path("out.dat")).status, 0);
    EXPECT_EQ(folder.read("out.dat"), test::scrambled(bytes));
}

TEST(QuorvelPack, FailuresExitNonZeroWithAMessage) {
    test::ScratchFolder folder;
    folder.write("in.txt", "x\n");
    folder.write("empty.txt", "");
    const std::string in = folder.path("in.txt");
    const std::string out = folder.path("out.dat");
    const std::string cannotWrite = folder.path("no/such/dir/out.dat");
    struct Case {
        const char* name;
        std::string arguments;
    } cases[] = {
        {"no arguments", ""},
        {"one argument", in},
        {"too many", in + " " + out + " extra"},
        {"unknown option", "--bogus " + in + " " + out},
        {"whole without output", "--whole " + in},
        {"missing input", folder.path("missing.txt") + " " + out},
        {"input is a folder", folder.path("") + " " + out},
        {"empty input", folder.path("empty.txt") + " " + out},
        {"unwritable output", in + " " + cannotWrite},
        {"whole missing input", "--whole " + folder.path("missing") + " " + out},
        {"whole unwritable output", "--whole " + in + " " + cannotWrite},
    };
    for (const Case& c : cases) {
        Outcome outcome = pack(folder, c.arguments);
        EXPECT_NE(outcome.status, 0) << c.name;
        EXPECT_NE(outcome.errors.find("quorvel-pack"), std::string::npos) << c.name;
    }
}

}  // namespace
}  // namespace quorvel
