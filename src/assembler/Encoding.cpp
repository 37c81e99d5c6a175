#include "assembler/Encoding.h"

#include <algorithm>
#include <cstdio>

#include "assembler/SourceSyntax.h"
#include "io/TextUtils.h"

namespace quorvel {

namespace {

constexpr const char* jumpForms[] = {"go to", "then go to", "if no carry go to", "gotox"};
constexpr int thenGoToForm = 1;
constexpr int gotoxForm = 3;
constexpr const char* pageSelectPrefix = "delayed select rom ";

LineEncoding failure(std::string diagnostic) {
    LineEncoding result;
    result.kind = LineEncoding::Kind::failed;
    result.diagnostic = std::move(diagnostic);
    return result;
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.starts_with(prefix);
}

std::string lowByteHex(int64_t value) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(value & 255));
    return digits;
}

// The text after a keyword and the one blank that follows it.
std::string operandAfter(const std::string& text, size_t keywordLength) {
    return text.size() > keywordLength + 1 ? text.substr(keywordLength + 1) : std::string();
}

bool startsWithNameAndColon(const std::string& textPart, const std::string& name) {
    if (textPart.size() <= name.size()) return false;
    return lowerCase(textPart.substr(0, name.size())) == name && textPart[name.size()] == ':';
}

}  // namespace

bool availableForType(const std::string& availability, int calculatorType) {
    if (availability == "AM") return true;
    std::string typeText = std::to_string(calculatorType);
    if (typeText.size() == 1) typeText.insert(0, "0");
    for (size_t i = 0; i + 1 < availability.size(); i += 2)
        if (availability.compare(i, 2, typeText) == 0) return true;
    return false;
}

int findLabel(const std::string& name, int currentAddress, bool gotox, bool followsIf,
              int rememberedPage, const std::vector<std::string>& romLines) {
    const int64_t lastWord = static_cast<int64_t>(romLines.size()) - 1;
    auto search = [&](int64_t first, int64_t last) -> int {
        first = std::max<int64_t>(first, 0);
        last = std::min<int64_t>(last, lastWord);
        for (int64_t address = first; address <= last; ++address)
            if (startsWithNameAndColon(romLineTextPart(romLines[address]), name))
                return static_cast<int>(address);
        return -1;
    };

    if (rememberedPage != noRememberedPage && gotox) {
        return search(int64_t{rememberedPage} * 256, int64_t{rememberedPage} * 256 + 255);
    }
    if (rememberedPage != noRememberedPage || followsIf) {
        // Labels are unique only within a page, so prefer the copy the jump can really
        // reach: the selected page after a page select, the 1024-word block of the branch
        // after an "if". Only then the first one in the bank.
        int found = -1;
        if (rememberedPage != noRememberedPage) {
            found = search(int64_t{rememberedPage} * 256, int64_t{rememberedPage} * 256 + 255);
        } else {
            const int64_t block = currentAddress & ~1023;
            found = search(block, block + 1023);
        }
        if (found >= 0) return found;
        const int64_t bank = currentAddress & ~4095;
        return search(bank, bank + 4095);
    }
    const int64_t page = currentAddress & ~255;
    return search(page, page + 255);
}

LineEncoding encodeLine(const EncodingContext& context, int address, const std::string& textPart,
                        EncodingState& state) {
    static const std::vector<std::string> noLines;
    const std::vector<std::string>& romLines = context.romLines ? *context.romLines : noLines;

    std::string code = stripSourceComment(textPart);
    size_t colon = code.find(':');
    if (colon != std::string::npos) {
        code.erase(0, colon + 1);
        if (normaliseLine(code).empty()) return failure(diagExpectingCode);
    }
    std::string text = normaliseLine(code);
    // The word after a test is the test's branch address; nothing else may stand there.
    if (state.followsIf && !startsWith(text, "then go to")) return failure(diagThenGoToExpected);

    int labelTarget = -1;
    if (wordAt(text, 0) == "jsb") {
        std::string target = operandAfter(text, 3);
        int value = parseNumberLiteral(target, true);
        if (value == -2) return failure(diagInvalidJsb);
        if (value == -1) {
            value =
                findLabel(target, address, false, state.followsIf, state.rememberedPage, romLines);
            if (value < 0) return failure(diagLabelNotFound);
            labelTarget = value;
        }
        text = "jsb $" + lowByteHex(value);
    } else {
        int form = -1;
        for (int i = 0; i < 4 && form < 0; ++i)
            if (startsWith(text, jumpForms[i])) form = i;
        if (form >= 0) {
            if (form == gotoxForm && context.calculatorType != 1) return failure(diagUnrecognised);
            std::string target =
                operandAfter(text, std::char_traits<char>::length(jumpForms[form]));
            int64_t destination = -1;
            int count = 0;
            if (target.size() >= 3 && target[0] == '$' && (target[1] == '+' || target[1] == '-') &&
                parseDecimal(target.substr(2), count) && count >= 0) {
                destination =
                    target[1] == '+' ? int64_t{address} + count : int64_t{address} - count;
                int64_t pageStart = address & ~255;
                if (destination < pageStart || destination > pageStart + 255)
                    return failure(diagRelativeOutOfPage);
            } else {
                destination = parseNumberLiteral(target, false);
                if (destination == -2) return failure(diagInvalidGoTo);
                if (destination == -1) {
                    destination = findLabel(target, address, form == gotoxForm, state.followsIf,
                                            state.rememberedPage, romLines);
                    if (destination < 0) return failure(diagLabelNotFound);
                    labelTarget = static_cast<int>(destination);
                }
            }
            if (form == thenGoToForm && state.followsIf) {
                LineEncoding result;
                result.kind = LineEncoding::Kind::addressWord;
                result.address = static_cast<int32_t>(destination & 1023);
                result.labelTarget = labelTarget;
                state.followsIf = false;
                return result;
            }
            text = "go to $" + lowByteHex(destination);
        }
    }

    int selectedPage = noRememberedPage;
    if (startsWith(text, pageSelectPrefix)) {
        int page = 0;
        std::string pageText = text.substr(std::char_traits<char>::length(pageSelectPrefix));
        if (!parseDecimal(pageText, page) || page < 0 || page > context.romSize / 256 - 1)
            return failure(diagInvalidDelayedSelect);
        selectedPage = page;
    }

    int row = context.table ? context.table->find(text) : -1;
    if (row < 0) return failure(diagUnrecognised);
    if (!availableForType(context.table->rows()[row].availability, context.calculatorType))
        return failure(diagNotAvailablePrefix + std::to_string(context.calculatorType));

    state.rememberedPage = selectedPage;
    state.followsIf = startsWith(text, "if ");
    LineEncoding result;
    result.kind = LineEncoding::Kind::instruction;
    result.row = row;
    result.labelTarget = labelTarget;
    return result;
}

}  // namespace quorvel
