#include "processor/InstructionSet.h"

#include <array>
#include <cstdio>

#include "processor/ExecutorInternal.h"

namespace quorvel {

namespace {

using namespace detail;
using A = ArgumentKind;

constexpr InstructionFamily plain(int32_t word, int32_t match, const char* text,
                                  const char* description, InstructionHandler handler) {
    return {word, match, A::none, 0, 0, text, description, handler, false, false, false};
}

constexpr InstructionFamily numbered(int32_t word, int32_t match, int shift, int mask,
                                     const char* text, const char* description,
                                     InstructionHandler handler, bool tests = false) {
    return {word, match, A::decimal, shift, mask, text, description, handler, tests, false, false};
}

constexpr InstructionFamily test(int32_t word, int32_t match, const char* text,
                                 const char* description, InstructionHandler handler) {
    return numbered(word, match, 0, 15, text, description, handler, true);
}

// Register arithmetic: one family per operation, the field in bits 0 to 2.
template <int Operation>
constexpr InstructionFamily arith(const char* text, bool tests, bool writesDisplay) {
    return {0x300 + Operation * 8,  0xFF8, A::field,      0,    7, text, "register arithmetic",
            &arithmetic<Operation>, tests, writesDisplay, false};
}

constexpr bool T = true;
constexpr bool F = false;

const InstructionFamily families[] = {
    plain(0x000, 0xFFF, "no operation", "nothing", nothing),
    plain(0x001, 0xF00, "return", "return from subroutine", doReturn),
    {0x100, 0xF00, A::hexByte, 0, 255, "jsb ${}", "subroutine call in page", call, F, F, F},
    {0x200, 0xF00, A::hexByte, 0, 255, "go to ${}", "go to in page when no carry", goTo, F, F, T},

    arith<0>("if b[{}] = 0", T, F),
    arith<1>("0 -> b[{}]", F, T),
    arith<2>("if a >= c[{}]", T, F),
    arith<3>("if c[{}] # 0", T, F),
    arith<4>("b -> c[{}]", F, F),
    arith<5>("0 - c -> c[{}]", F, F),
    arith<6>("0 -> c[{}]", F, F),
    arith<7>("0 - c - 1 -> c[{}]", F, F),
    arith<8>("shift left a[{}]", F, T),
    arith<9>("a -> b[{}]", F, T),
    arith<10>("a - c -> c[{}]", F, F),
    arith<11>("c - 1 -> c[{}]", F, F),
    arith<12>("c -> a[{}]", F, T),
    arith<13>("if c[{}] = 0", T, F),
    arith<14>("a + c -> c[{}]", F, F),
    arith<15>("c + 1 -> c[{}]", F, F),
    arith<16>("if a >= b[{}]", T, F),
    arith<17>("b exchange c[{}]", F, T),
    arith<18>("shift right c[{}]", F, F),
    arith<19>("if a[{}] # 0", T, F),
    arith<20>("shift right b[{}]", F, T),
    arith<21>("c + c -> c[{}]", F, F),
    arith<22>("shift right a[{}]", F, T),
    arith<23>("0 -> a[{}]", F, T),
    arith<24>("a - b -> a[{}]", F, T),
    arith<25>("a exchange b[{}]", F, T),
    arith<26>("a - c -> a[{}]", F, T),
    arith<27>("a - 1 -> a[{}]", F, T),
    arith<28>("a + b -> a[{}]", F, T),
    arith<29>("a exchange c[{}]", F, T),
    arith<30>("a + c -> a[{}]", F, T),
    arith<31>("a + 1 -> a[{}]", F, T),

    numbered(0x400, 0xFF0, 0, 15, "0 -> s{}", "clear status bit", clearStatusBit),
    numbered(0x410, 0xFF0, 0, 15, "1 -> s{}", "set status bit", setStatusBit),
    test(0x420, 0xFF0, "if s{} = 0", "test status bit clear", testStatusClear),
    plain(0x430, 0xFF0, "clear status", "clear status bits", clearStatus),
    numbered(0x440, 0xFF0, 0, 15, "{} -> p", "set pointer", setP),
    test(0x450, 0xFF0, "if p # {}", "test pointer differs", testPDiffers),
    plain(0x460, 0xFF0, "p + 1 -> p", "increment pointer", incrementP),
    plain(0x470, 0xFF0, "p - 1 -> p", "decrement pointer", decrementP),
    numbered(0x480, 0xFF8, 0, 7, "0 -> f{}", "clear flag", setFlag),
    numbered(0x488, 0xFF8, 0, 7, "1 -> f{}", "set flag", setFlag),
    test(0x490, 0xFF0, "if s{} = 1", "test status bit set", testStatusSet),
    test(0x4A0, 0xFF0, "if p = {}", "test pointer equals", testPEquals),

    numbered(0x500, 0xF00, 0, 15, "load constant {}", "load constant at pointer", loadConstant),

    {0x600, 0xF07, A::none, 0, 0, "display toggle", "machine control", displayToggle, F, T, F},
    {0x601, 0xF07, A::none, 0, 0, "display off", "machine control", displayOff, F, T, F},
    {0x602, 0xF07, A::none, 0, 0, "display on", "machine control", displayOn, F, T, F},
    plain(0x603, 0xF07, "clear registers", "machine control", clearRegisters),
    plain(0x604, 0xF07, "clear data registers", "machine control", clearDataRegisters),
    plain(0x605, 0xF07, "decimal", "machine control", baseTen),
    plain(0x606, 0xF07, "hexadecimal", "machine control", baseSixteen),
    plain(0x607, 0xF07, "bank switch", "machine control", bankSwitch),

    plain(0x800, 0xF06, "c exchange m1", "save register", exchangeM1),
    plain(0x802, 0xF07, "c exchange m2", "save register", exchangeM2),
    plain(0x803, 0xF07, "m1 -> c", "save register", m1ToC),
    plain(0x804, 0xF07, nullptr, "save register", m1ToC),
    plain(0x805, 0xF07, "m2 -> c", "save register", m2ToC),

    plain(0x900, 0xF03, "c -> stack", "stack push", stackPush),
    plain(0x901, 0xF03, "stack -> a", "stack pop", stackPop),
    plain(0x902, 0xF03, "down rotate", "stack rotate", stackRotate),
    plain(0x903, 0xF03, "rotate left a", "digit rotate", rotateLeftA),

    numbered(0xA00, 0xF03, 4, 15, "select rom {}", "select page now", selectRomNow),
    numbered(0xA01, 0xF03, 4, 15, "delayed select rom {}", "select page at next jump",
             selectRomDelayed),
    plain(0xA02, 0xF13, "delayed select bank 0", "select bank at next jump", selectBankDelayed),
    plain(0xA12, 0xF13, "delayed select bank 1", "select bank at next jump", selectBankDelayed),

    plain(0xB00, 0xF0F, "keys -> rom address", "transfer and printer", keysToRom),
    plain(0xB01, 0xF0F, "offset -> captured", "transfer and printer", offsetToCaptured),
    plain(0xB02, 0xF0F, "captured -> offset", "transfer and printer", capturedToOffset),
    plain(0xB03, 0xF0F, "print mode -> a", "transfer and printer", printModeToA),
    plain(0xB04, 0xF0F, "y -> a", "transfer and printer", yToA),
    plain(0xB05, 0xF0F, "a -> rom address", "transfer and printer", aToRom),
    plain(0xB06, 0xF0F, "digit exchange a", "transfer and printer", digitExchangeA),
    plain(0xB07, 0xF0F, "digit -> a", "transfer and printer", digitToA),
    plain(0xB08, 0xF0F, "printer ready -> s3", "transfer and printer", printerReadyToS3),
    plain(0xB09, 0xF0F, "one -> s3", "transfer and printer", oneToS3),
    plain(0xB0A, 0xF0F, "key ready -> s3", "transfer and printer", keyReadyToS3),
    plain(0xB0B, 0xF0F, "print c packed", "transfer and printer", printPacked),
    plain(0xB0C, 0xF0F, "print c digits", "transfer and printer", printDigits),
    plain(0xB0E, 0xF0F, "print c packed eol", "transfer and printer", printPackedEol),

    plain(0xC00, 0xF07, "c -> data address", "data storage", cToDataAddress),
    plain(0xC01, 0xF07, "c -> data", "data storage", cToData),
    plain(0xC02, 0xF07, "data -> c", "data storage", dataToC),
    numbered(0xC03, 0xF07, 4, 15, "c -> data register {}", "data storage register",
             cToDataRegister),
    numbered(0xC04, 0xF07, 4, 15, "data register {} -> c", "data storage register",
             dataRegisterToC),

    plain(0xE12, 0xF1F, "condition 0 -> s3", "condition test", conditionToS3),
    plain(0xE13, 0xF1F, "condition 1 -> s3", "condition test", conditionToS3),
    plain(0xE14, 0xF1F, "condition 2 -> s3", "condition test", conditionToS3),
    plain(0xE15, 0xF1F, "condition 3 -> s3", "condition test", conditionToS3),
};

// The family of every 12-bit word, looked up once.
const std::array<const InstructionFamily*, 4096>& familyByWord() {
    static const auto table = [] {
        std::array<const InstructionFamily*, 4096> byWord{};
        for (int32_t w = 0; w < 4096; ++w) {
            for (const InstructionFamily& family : families) {
                if (family.covers(w)) {
                    byWord[static_cast<size_t>(w)] = &family;
                    break;
                }
            }
        }
        return byWord;
    }();
    return table;
}

std::string argumentText(const InstructionFamily& family, int value) {
    char digits[8];
    switch (family.argument) {
        case A::hexByte: std::snprintf(digits, sizeof digits, "%02X", value & 255); return digits;
        case A::field: return fieldNames[value & 7];
        case A::decimal: return std::to_string(value);
        case A::none: break;
    }
    return {};
}

std::string memberText(const InstructionFamily& family, int value) {
    std::string text = family.text;
    const size_t at = text.find("{}");
    if (at != std::string::npos) text.replace(at, 2, argumentText(family, value));
    return text;
}

}  // namespace

const InstructionFamily* familyOf(int32_t word) {
    return familyByWord()[static_cast<size_t>(word & 0xFFF)];
}

std::vector<InstructionText> instructionTexts() {
    std::vector<InstructionText> texts;
    for (const InstructionFamily& family : families) {
        if (!family.text) continue;
        for (int value = 0; value < family.members(); ++value)
            texts.push_back(
                {family.memberWord(value), family.description, memberText(family, value)});
    }
    return texts;
}

std::string instructionText(int32_t word) {
    if (word < 0 || word > 0xFFF) return {};
    const InstructionFamily* family = familyOf(word);
    if (!family || !family->text) return {};
    const int value = (word >> family->argumentShift) & family->argumentMask;
    if (family->memberWord(value) != word) return {};
    return memberText(*family, value);
}

std::string disassemble(const RomWord& romWord) {
    char digits[16];
    if (romWord.addressWord) {
        std::snprintf(digits, sizeof digits, "%03X", static_cast<unsigned>(romWord.word & 1023));
        return std::string("then go to $") + digits;
    }
    std::string text = instructionText(romWord.word);
    if (!text.empty()) return text;
    std::snprintf(digits, sizeof digits, "%03X", static_cast<unsigned>(romWord.word));
    return std::string("word $") + digits;
}

}  // namespace quorvel
