#include "assembler/Assembler.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "assembler/Encoding.h"
#include "assembler/SourceSyntax.h"
#include "io/ScrambledFile.h"
#include "io/TextUtils.h"
#include "processor/InstructionSet.h"
#include "processor/JumpRules.h"

namespace quorvel {

namespace {

int romSizeOf(const AssemblyJob& job) {
    return job.romImage ? static_cast<int>(job.romImage->size()) : 0;
}

std::string padRight(std::string text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

// A label definition in the duplicate check: a first word whose first colon ends it.
bool isLabelWord(const std::string& word) {
    size_t colon = word.find(':');
    return colon != std::string::npos && colon + 1 == word.size();
}

std::string hex4(int32_t value) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(value));
    return digits;
}

int lineNumberOf(const std::string& romLine) {
    int line = 0;
    return parseDecimal(romLineNumber(romLine), line) ? line : 0;
}

// One error a line: what a line's first error leads to in later passes is not news.
void addError(AssemblyJob& job, int line, std::string text, std::string boxText) {
    if (line > 0 && !job.linesWithErrors.insert(line).second) return;
    job.diagnostics.push_back({line, std::move(text), std::move(boxText), false});
}

void addWarning(AssemblyJob& job, int line, std::string text) {
    job.diagnostics.push_back({line, std::move(text), {}, true});
}

}  // namespace

bool AssemblyJob::hasErrors() const {
    for (const AssemblyDiagnostic& d : diagnostics)
        if (!d.warning) return true;
    return false;
}

bool checkLabelSyntax(AssemblyJob& job) {
    bool ok = true;
    for (size_t index = 0; index < job.sourceLines.size(); ++index) {
        const int line = static_cast<int>(index) + 1;
        std::string code = reduceSourceLine(job.sourceLines[index]);
        if (countChar(':', code) > 1) {
            addError(job, line, "Multiple colons on line", msgMultipleColons);
            ok = false;
            continue;
        }
        std::string first = wordAt(code, 0);
        if (first.find(':') != std::string::npos && !isValidLabelDefinition(first)) {
            addError(job, line, "Invalid label " + first, msgInvalidLabelPrefix + first);
            ok = false;
        }
    }
    return ok;
}

bool layoutRom(AssemblyJob& job) {
    const int romSize = romSizeOf(job);
    job.romLines.clear();
    bool ok = true;
    for (size_t index = 0; index < job.sourceLines.size(); ++index) {
        const std::string& line = job.sourceLines[index];
        const std::string lineNumber = std::to_string(index + 1);
        std::string code = reduceSourceLine(line);
        if (code.empty()) continue;
        int needed = static_cast<int>(job.romLines.size()) + 1;
        const bool origin = code.starts_with("org $");
        if (origin) {
            const int address = hexToInt(code.substr(5), -1);
            if (address < static_cast<int>(job.romLines.size())) {
                addError(job, static_cast<int>(index) + 1, "Invalid org directive: " + code,
                         msgInvalidOrgPrefix + lineNumber + " " + line);
                ok = false;
                continue;
            }
            needed = address;
        }
        if (needed > romSize) {
            addError(job, static_cast<int>(index) + 1, msgRomOverflow, msgRomOverflow);
            return false;
        }
        while (static_cast<int>(job.romLines.size()) < (origin ? needed : needed - 1))
            job.romLines.push_back(noOperationText);
        if (!origin) job.romLines.push_back(lineNumber + "~" + line);
    }
    while (static_cast<int>(job.romLines.size()) < romSize) job.romLines.push_back(noOperationText);
    return ok;
}

bool checkDuplicateLabels(AssemblyJob& job) {
    bool ok = true;
    // Every page, the partial one at the end of the ROM too.
    for (size_t pageStart = 0; pageStart < job.romLines.size(); pageStart += 256) {
        const size_t pageEnd = std::min(job.romLines.size(), pageStart + 256);
        std::vector<std::string> order;
        std::unordered_map<std::string, std::vector<size_t>> uses;
        for (size_t address = pageStart; address < pageEnd; ++address) {
            std::string word = lowerCase(wordAt(romLineTextPart(job.romLines[address]), 0));
            if (!isLabelWord(word)) continue;
            auto& at = uses[word];
            if (at.empty()) order.push_back(word);
            at.push_back(address);
        }
        // By the address of the first definition; each later one is an error.
        for (const std::string& word : order) {
            const std::vector<size_t>& at = uses[word];
            for (size_t k = 1; k < at.size(); ++k) {
                addError(job, lineNumberOf(job.romLines[at[k]]),
                         "Duplicate label " + word + " (first on line " +
                             romLineNumber(job.romLines[at[0]]) + ")",
                         msgDuplicateLabelPrefix + word + "]");
                ok = false;
            }
        }
    }
    return ok;
}

bool encodeRom(AssemblyJob& job) {
    EncodingContext context;
    context.table = job.table;
    context.calculatorType = job.calculatorType;
    context.romSize = romSizeOf(job);
    context.romLines = &job.romLines;
    EncodingState state;
    bool ok = true;

    const size_t words = std::min(job.romLines.size(), static_cast<size_t>(context.romSize));
    job.labelTargets.assign(words, -1);
    for (size_t address = 0; address < words; ++address) {
        const std::string textPart = romLineTextPart(job.romLines[address]);
        LineEncoding encoding = encodeLine(context, static_cast<int>(address), textPart, state);
        if (encoding.kind == LineEncoding::Kind::failed) {
            std::string shown = stripSourceComment(textPart);
            for (char& c : shown)
                if (c == '\t') c = ' ';
            addError(job, lineNumberOf(job.romLines[address]),
                     encoding.diagnostic + ": " + normaliseLine(shown),
                     "ERROR: " + encoding.diagnostic + "\r\r" + shown + "\r\r" +
                         "Line number: " + romLineNumber(job.romLines[address]));
            ok = false;
            // The failed word tells the next one nothing.
            state = EncodingState{};
            continue;
        }
        job.labelTargets[address] = encoding.labelTarget;

        RomWord& romWord = (*job.romImage)[address];
        std::string listingCode;
        if (encoding.kind == LineEncoding::Kind::addressWord) {
            romWord.word = encoding.address;
            romWord.addressWord = 1;
            char digits[8];
            std::snprintf(digits, sizeof digits, "%03X", static_cast<unsigned>(encoding.address));
            listingCode = digits;
        } else {
            const InstructionRow& row = job.table->rows()[encoding.row];
            romWord.word = row.word;
            romWord.addressWord = 0;
            // The listing takes the code back off the line end by its length, so keep it at
            // exactly three characters whatever the table holds.
            listingCode = padRight(row.listingCode.substr(0, 3), 3);
        }
        char addressDigits[16];
        std::snprintf(addressDigits, sizeof addressDigits, "%04X", static_cast<unsigned>(address));
        job.romLines[address] += addressDigits + listingCode;
    }
    return ok;
}

void checkReachability(AssemblyJob& job) {
    if (!job.romImage) return;
    const RomImage& rom = *job.romImage;
    const int size = static_cast<int>(std::min(rom.size(), job.labelTargets.size()));
    for (int address = 0; address < size; ++address) {
        const int label = job.labelTargets[static_cast<size_t>(address)];
        if (label < 0) continue;
        const RomWord& word = rom[static_cast<size_t>(address)];
        int32_t reached = 0;
        int selectsEndAt = address;  // selects waiting for this jump stand just before it
        bool isGoto = true;
        if (word.addressWord) {
            reached = jump::branchWordTarget(address, word.word);
            selectsEndAt = address - 1;  // before the test
        } else {
            isGoto = !instructionText(word.word).starts_with("jsb ");
            const int32_t next = jump::nextAddress(address);
            reached = isGoto ? jump::gotoTarget(next, word.word & 255)
                             : jump::callTarget(next, word.word & 255);
        }
        int32_t page = -1;
        int32_t bank = -1;
        for (int before = selectsEndAt - 1; before >= 0; --before) {
            const RomWord& select = rom[static_cast<size_t>(before)];
            if (select.addressWord) break;
            const std::string text = instructionText(select.word);
            if (text.starts_with("delayed select rom ")) {
                if (page < 0) page = std::stoi(text.substr(19)) * jump::pageWords;
            } else if (text.starts_with("delayed select bank ")) {
                if (bank < 0) bank = std::stoi(text.substr(20)) * jump::bankWords;
            } else {
                break;
            }
        }
        if (bank >= 0) reached = jump::withBank(reached, bank);
        if (page >= 0) reached = jump::withPage(reached, page);
        if (isGoto) reached = jump::foldGoto(reached);

        const int line = lineNumberOf(job.romLines[static_cast<size_t>(address)]);
        if (reached != label) {
            addWarning(job, line,
                       "the jump reaches $" + hex4(reached) + ", not its label at $" + hex4(label));
        } else if (reached < size && rom[static_cast<size_t>(reached)].addressWord) {
            addWarning(job, line, "the jump lands on the address word of a test");
        }
    }
}

std::vector<std::string> buildListing(const std::vector<std::string>& romLines) {
    std::vector<std::string> listing;
    listing.reserve(romLines.size());
    for (const std::string& romLine : romLines) {
        std::string text = trimLeadingBlanks(romLineTextPart(romLine));
        std::string tail = text.size() >= 7 ? text.substr(text.size() - 7) : padRight(text, 7);
        text.erase(text.size() >= 7 ? text.size() - 7 : 0);
        std::string addressColumn = "$" + tail.substr(0, 4);
        std::string listingCode = tail.substr(4, 3);

        std::string labelColumn;
        std::string rest = text;
        std::string first = wordAt(text, 0);
        if (first.find(':') != std::string::npos) {
            labelColumn = first;
            rest = trimLeadingBlanks(text.substr(first.size()));
        }
        labelColumn = padRight(labelColumn, 9);
        if (lowerCase(rest.substr(0, 10)) == "then go to") rest.insert(0, "    ");
        size_t comment = rest.find("//");
        if (comment != std::string::npos)
            rest = padRight(normaliseLine(rest.substr(0, comment)), 24) + rest.substr(comment);
        listing.push_back(addressColumn + " " + listingCode + "  " + labelColumn + rest);
    }
    return listing;
}

bool assembleSource(AssemblyJob& job, MessageBoxes& messages) {
    job.listing.clear();
    job.romLines.clear();
    job.diagnostics.clear();
    job.linesWithErrors.clear();
    job.labelTargets.clear();
    checkLabelSyntax(job);
    layoutRom(job);
    // A full ROM leaves nothing complete for the later passes.
    if (static_cast<int>(job.romLines.size()) == romSizeOf(job)) {
        const bool anyInstruction =
            std::any_of(job.romLines.begin(), job.romLines.end(),
                        [](const std::string& line) { return !romLineNumber(line).empty(); });
        if (!anyInstruction && !job.romLines.empty())
            addError(job, 0, msgNoInstruction, msgNoInstruction);
        checkDuplicateLabels(job);
        encodeRom(job);
        if (!job.hasErrors()) checkReachability(job);
    }
    for (const AssemblyDiagnostic& d : job.diagnostics) {
        if (!d.warning) {
            messages.showError(d.boxText);
            return false;
        }
    }
    std::vector<std::string> listing = buildListing(job.romLines);
    if (listing.empty()) {
        messages.showInformation(msgNoCode);
        return false;
    }
    job.listing = std::move(listing);
    return true;
}

bool assembleMicrocode(const std::string& sourcePath, AssemblyJob& job, MessageBoxes& messages) {
    job.listing.clear();
    job.sourceLines.clear();
    if (!loadScrambledList(sourcePath, job.sourceLines)) {
        job.sourceLines.clear();
        messages.showError(msgLoadFailed);
        return false;
    }
    return assembleSource(job, messages);
}

}  // namespace quorvel
