#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "io/ScrambledFile.h"
#include "panel/HeadlessCalculator.h"
#include "panel/StateFile.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> keys(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string key; in >> key;) out.push_back(key);
    return out;
}

class StateFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() /
            ("quorvel-state-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        path = (folder / stateFileName).string();
    }
    void TearDown() override { fs::remove_all(folder); }

    static void start(HeadlessCalculator& calculator,
                      PrintModePosition mode = PrintModePosition::man) {
        ASSERT_EQ(calculator.start(mode), HeadlessCalculator::Result::ok);
    }
    StateFileResult restore(HeadlessCalculator& calculator) {
        const StateFileResult result = loadStateFile(path, calculator.session().machine());
        if (result == StateFileResult::restored) {
            resumePrinterAfterRestore(calculator.session().printer(),
                                      calculator.session().machine());
            calculator.session().renderDisplay();
        }
        return result;
    }

    fs::path folder;
    std::string path;
};

TEST_F(StateFileTest, ACalculatorResumesWhereItWasSaved) {
    HeadlessCalculator saved(QUORVEL_DATA_DIR);
    start(saved);
    ASSERT_EQ(saved.pressKeys(keys("4 2 M 1 7 ENTER 8")), HeadlessCalculator::Result::ok);
    saved.session().machine().keyReleased = 0;  // closed with a key down
    ASSERT_TRUE(saveStateFile(path, saved.session().machine()));

    HeadlessCalculator resumed(QUORVEL_DATA_DIR);
    start(resumed);
    ASSERT_EQ(restore(resumed), StateFileResult::restored);
    EXPECT_EQ(resumed.session().machine().keyReleased, 1);
    EXPECT_EQ(resumed.displayText(), saved.displayText());
    EXPECT_EQ(resumed.displayText().find_first_not_of(' '), resumed.displayText().find('8'));
    // the 8 is still being keyed in, 7 is in Y and 42 in register 1
    ASSERT_EQ(resumed.pressKeys(keys("+")), HeadlessCalculator::Result::ok);
    EXPECT_NE(resumed.displayText().find("15.00"), std::string::npos) << resumed.displayText();
    ASSERT_EQ(resumed.pressKeys(keys("R 1")), HeadlessCalculator::Result::ok);
    EXPECT_NE(resumed.displayText().find("42.00"), std::string::npos) << resumed.displayText();
}

// A state that does not belong to this ROM and these parameters, or that was altered, is
// refused and leaves the fresh calculator as it was.
TEST_F(StateFileTest, MismatchedAndDamagedStatesAreRefused) {
    HeadlessCalculator saved(QUORVEL_DATA_DIR);
    start(saved);
    ASSERT_EQ(saved.pressKeys(keys("4 2 M 1")), HeadlessCalculator::Result::ok);
    const std::vector<std::string> good = stateFileLines(saved.session().machine());

    struct Case {
        const char* what;
        std::function<void(std::vector<std::string>&, MachineState&)> change;
        StateFileResult expected;
    };
    const auto replaceLine = [](std::vector<std::string>& lines, const std::string& name,
                                const std::string& with) {
        for (std::string& line : lines) {
            if (line.rfind(name + " ", 0) == 0) line = with;
        }
    };
    const Case cases[] = {
        {"another ROM", [](auto&, MachineState& m) { m.romImage[300].word ^= 1; },
         StateFileResult::mismatched},
        {"another RAM size", [](auto&, MachineState& m) { m.ram.emplace_back(); },
         StateFileResult::mismatched},
        {"another return stack depth", [](auto&, MachineState& m) { m.returnStack.push_back(-1); },
         StateFileResult::mismatched},
        {"a digit altered",
         [&](auto& lines, MachineState&) {
             replaceLine(lines, "R1", "R1 0 0 0 0 0 0 0 0 0 0 0 3 4 0");
         },
         StateFileResult::damaged},
        {"cut short", [](auto& lines, MachineState&) { lines.erase(lines.end() - 5); },
         StateFileResult::damaged},
        {"not a container at all", [](auto& lines, MachineState&) { lines.clear(); },
         StateFileResult::damaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HeadlessCalculator fresh(QUORVEL_DATA_DIR);
        start(fresh);
        std::vector<std::string> lines = good;
        c.change(lines, fresh.session().machine());
        if (lines.empty()) {
            std::ofstream(path, std::ios::trunc) << "garbage";
        } else {
            ASSERT_TRUE(saveScrambledList(path, lines));
        }
        const MachineState before = fresh.session().machine();
        EXPECT_EQ(restore(fresh), c.expected);
        EXPECT_EQ(fresh.session().machine().ram, before.ram);
        EXPECT_EQ(fresh.session().machine().programCounter, before.programCounter);
        EXPECT_FALSE(stateFileNote(c.expected).empty());
    }

    // A checked file whose values lie outside what the machine can hold is damaged too.
    HeadlessCalculator fresh(QUORVEL_DATA_DIR);
    start(fresh);
    MachineState outOfRange = saved.session().machine();
    outOfRange.pRegister = 99;
    ASSERT_TRUE(saveScrambledList(path, stateFileLines(outOfRange)));
    EXPECT_EQ(restore(fresh), StateFileResult::damaged);

    fs::remove(path);
    EXPECT_EQ(restore(fresh), StateFileResult::missing);
    EXPECT_TRUE(stateFileNote(StateFileResult::missing).empty());
}

// Saved while the head is halfway across a line: the resumed calculator prints that line
// once, as the saved one does when it goes on.
TEST_F(StateFileTest, ALineBeingPrintedIsPrintedOnceAfterResuming) {
    HeadlessCalculator saved(QUORVEL_DATA_DIR);
    start(saved, PrintModePosition::norm);
    ASSERT_EQ(saved.pressKeys(keys("2 ENTER 3")), HeadlessCalculator::Result::ok);
    const int before = saved.session().roll().size();
    EXPECT_EQ(saved.pressKey(keyIndexForName("+"), 3000), HeadlessCalculator::Result::timeout);
    ASSERT_TRUE(saved.session().printer().busy());
    ASSERT_NE(saved.session().printer().headPos, headRestPosition);
    ASSERT_TRUE(saveStateFile(path, saved.session().machine()));

    HeadlessCalculator resumed(QUORVEL_DATA_DIR);
    start(resumed, PrintModePosition::norm);
    resumed.session().roll().assign({saved.session().roll().rollLines().begin(),
                                     saved.session().roll().rollLines().begin() + before});
    ASSERT_EQ(restore(resumed), StateFileResult::restored);
    EXPECT_EQ(resumed.session().runUntilIdle(HeadlessCalculator::defaultWordLimit),
              CalculatorSession::RunOutcome::idle);
    EXPECT_EQ(saved.session().runUntilIdle(HeadlessCalculator::defaultWordLimit),
              CalculatorSession::RunOutcome::idle);
    EXPECT_GT(saved.session().roll().size(), before);
    EXPECT_EQ(resumed.session().roll().rollLines(), saved.session().roll().rollLines());
    EXPECT_EQ(resumed.displayText(), saved.displayText());
}

}  // namespace
}  // namespace quorvel
