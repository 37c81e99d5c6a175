#include <gtest/gtest.h>

#include <sstream>

#include "panel/ClipboardNumber.h"
#include "panel/HeadlessCalculator.h"

namespace quorvel {
namespace {

std::vector<std::string> keys(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string key; in >> key;) out.push_back(key);
    return out;
}

std::string shown(const HeadlessCalculator& calculator) {
    std::string text = calculator.displayText();
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

class Running : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(calculator.start(), HeadlessCalculator::Result::ok); }
    void press(const std::string& text) { press(keys(text)); }
    void press(const std::vector<std::string>& list) {
        ASSERT_EQ(calculator.pressKeys(list), HeadlessCalculator::Result::ok);
    }
    HeadlessCalculator calculator{QUORVEL_DATA_DIR};
};

// X after real calculations and while a number is keyed in: all ten digits, not the
// display's FIX 2.
TEST_F(Running, CopyGivesXWithAllItsDigits) {
    struct Case {
        const char* keys;
        const char* text;  // nullptr: refused
    };
    const Case cases[] = {
        {"1 ENTER 3 /", "0.3333333333"},
        {"2 ENTER 3 /", "0.6666666667"},
        {"1 5 0 0 ENTER", "1500"},
        {"1 . 5 H E 1 2 H", "-1.5E-12"},  // still being keyed in
        {"1 . 5 H E 1 2 H ENTER", "-1.5E-12"},
        {"1 2 .", "12"},
        {"7 E 5 H", "7E-5"},
        {"1 E 1 0 ENTER", "1E10"},
        {"9 9 9 9 9 9 9 9 9 9 ENTER 1 +", "1E10"},
        {"2 Q", "1.414213562"},
        {"4 H ENTER", "-4"},
        {"BS", "0"},
        {"4 2 M", "42"},  // STO waits for its digit
        {"4 2 M 1", "42"},
        {"4 2 SHIFT", "42"},
        {"1 ENTER 0 /", nullptr},  // Error
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        press("BS BS");
        press(c.keys);
        const ClipboardText copied = copyNumberText(calculator.session().machine());
        if (c.text == nullptr) {
            EXPECT_FALSE(copied.ok);
            EXPECT_EQ(copied.message, messageCopyError);
            press("BS");
            continue;
        }
        ASSERT_TRUE(copied.ok) << copied.message;
        EXPECT_EQ(copied.text, c.text);
    }
}

// Pasted text typed into the calculator, then copied back: the keys type the number the
// text means, wherever the entry needs EEX, leading zeros or a sign.
TEST_F(Running, PastedNumbersArriveAsTyped) {
    struct Case {
        const char* pasted;
        char separator;
        const char* copied;
    };
    const Case cases[] = {
        {"-1.5e3", '.', "-1500"},
        {" 1,5\n", ',', "1.5"},
        {"1.5", ',', "1.5"},
        {"1e5", '.', "100000"},
        {"1E+05", '.', "100000"},
        {"-0.5", '.', "-0.5"},
        {"+.25", '.', "0.25"},
        {"0.000000001", '.', "1E-9"},
        {"0.0000000001234", '.', "1.234E-10"},
        {"1234567890", '.', "1234567890"},
        {"12345678901234", '.', "1.23456789E13"},
        {"0.30000000000000004", '.', "0.3"},
        {"9999999999.5", '.', "1E10"},
        {"-9.999999999E99", '.', "-9.999999999E99"},
        {"1e-99", '.', "1E-99"},
        {"-0", '.', "0"},
        {"000123.4500", '.', "123.45"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pasted);
        const PastedKeys pasted = keysForPastedText(c.pasted, c.separator);
        ASSERT_TRUE(pasted.ok) << pasted.message;
        press("BS BS");
        press(pasted.keys);
        press("ENTER");
        const ClipboardText copied = copyNumberText(calculator.session().machine());
        ASSERT_TRUE(copied.ok) << copied.message;
        EXPECT_EQ(copied.text, c.copied);
    }
    // as the display shows it
    press("BS");
    press(keysForPastedText("-1.5e3").keys);
    press("ENTER");
    EXPECT_EQ(shown(calculator), "-1500.00");
}

TEST(PastedText, AnythingButANumberIsRefusedWithoutKeys) {
    struct Case {
        const char* text;
        char separator;
        const char* message;
    };
    const Case cases[] = {
        {"", '.', messageNothingToPaste},
        {" \t\r\n", '.', messageNothingToPaste},
        {"abc", '.', "Not a number: abc"},
        {"1.2.3", '.', "Not a number: 1.2.3"},
        {"1,5", '.', "Not a number: 1,5"},
        {"1,000.5", ',', "Not a number: 1,000.5"},
        {"1 000", '.', "Not a number: 1 000"},
        {"1e", '.', "Not a number: 1e"},
        {"e5", '.', "Not a number: e5"},
        {".", '.', "Not a number: ."},
        {"--1", '.', "Not a number: --1"},
        {"0x10", '.', "Not a number: 0x10"},
        {"inf", '.', "Not a number: inf"},
        {"12abcdefghijklmnopqrstuvwxyz", '.', "Not a number: 12abcdefghijklmnopqrstuv..."},
        {"1e100", '.', "Out of the calculator's range: 1e100"},
        {"9.9999999999e99", '.', "Out of the calculator's range: 9.9999999999e99"},
        {"1e-100", '.', "Out of the calculator's range: 1e-100"},
        {"1e99999999999999999999", '.', "Out of the calculator's range: 1e99999999999999999999"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const PastedKeys pasted = keysForPastedText(c.text, c.separator);
        EXPECT_FALSE(pasted.ok);
        EXPECT_TRUE(pasted.keys.empty());
        EXPECT_EQ(pasted.message, c.message);
    }
}

TEST(PastedText, KeysTypeTheMantissaSignBeforeEexAndTheExponentSignAfter) {
    const std::pair<const char*, const char*> cases[] = {
        {"-1.5e-12", "1 . 5 H E 1 2 H"},
        {"-1500", "1 5 0 0 H"},
        {"0.05", "0 . 0 5"},
        {"2.5E20", "2 . 5 E 2 0"},
        {"0", "0"},
    };
    for (const auto& [text, typed] : cases) {
        EXPECT_EQ(keysForPastedText(text).keys, keys(typed)) << text;
    }
}

TEST(CopiedNumber, RegistersThatHoldNoNumberAreRefused) {
    MachineState machine;
    machine.ram.assign(4, Register{});
    Register& x = machine.ram[xRamRegister];
    // 1.5 E-12: mantissa 15000..., exponent -12 = 988 in tens complement
    x = {8, 8, 9, 0, 0, 0, 0, 0, 0, 0, 0, 5, 1, 9};
    EXPECT_EQ(copyNumberText(machine).text, "-1.5E-12");
    const std::pair<int, int32_t> damage[] = {{12, 0}, {13, 5}, {2, 4}, {5, 10}, {0, -1}};
    for (const auto& [digit, value] : damage) {
        Register broken = x;
        broken[static_cast<size_t>(digit)] = value;
        machine.ram[xRamRegister] = broken;
        const ClipboardText copied = copyNumberText(machine);
        EXPECT_FALSE(copied.ok) << digit;
        EXPECT_EQ(copied.message, messageCopyNoNumber);
    }
}

}  // namespace
}  // namespace quorvel
