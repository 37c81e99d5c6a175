#include "assembler/Assembler.h"

#include <cstdio>
#include <unordered_map>

#include "assembler/Encoding.h"
#include "io/ScrambledFile.h"
#include "assembler/SourceSyntax.h"
#include "io/TextUtils.h"

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

std::string lowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

bool checkLabelSyntax(const AssemblyJob& job, MessageBoxes& messages) {
    for (const std::string& line : job.sourceLines) {
        std::string code = reduceSourceLine(line);
        if (countChar(':', code) > 1) {
            messages.showError(msgMultipleColons);
            return false;
        }
        std::string first = wordAt(code, 0);
        if (first.find(':') != std::string::npos && !isValidLabelDefinition(first)) {
            messages.showError(msgInvalidLabelPrefix + first);
            return false;
        }
    }
    return true;
}

bool layoutRom(AssemblyJob& job, MessageBoxes& messages) {
    const int romSize = romSizeOf(job);
    job.romLines.clear();
    auto addWord = [&](std::string romLine) {
        if (static_cast<int>(job.romLines.size()) >= romSize) {
            messages.showError(msgRomOverflow);
            return false;
        }
        job.romLines.push_back(std::move(romLine));
        return true;
    };

    for (size_t index = 0; index < job.sourceLines.size(); ++index) {
        const std::string& line = job.sourceLines[index];
        const std::string lineNumber = std::to_string(index + 1);
        std::string code = reduceSourceLine(line);
        if (code.empty()) continue;
        if (code.starts_with("org $")) {
            int origin = hexToInt(code.substr(5), -1);
            if (origin < static_cast<int>(job.romLines.size())) {
                messages.showError(msgInvalidOrgPrefix + lineNumber + " " + line);
                return false;
            }
            while (static_cast<int>(job.romLines.size()) < origin)
                if (!addWord(noOperationText)) return false;
            continue;
        }
        if (!addWord(lineNumber + "~" + line)) return false;
    }
    while (static_cast<int>(job.romLines.size()) < romSize) job.romLines.push_back(noOperationText);
    return true;
}

bool checkDuplicateLabels(const AssemblyJob& job, MessageBoxes& messages) {
    const size_t pages = job.romLines.size() / 256;
    for (size_t page = 0; page < pages; ++page) {
        std::vector<std::string> words(256);
        std::unordered_map<std::string, int> uses;
        for (size_t offset = 0; offset < 256; ++offset) {
            std::string word =
                lowerCase(wordAt(romLineTextPart(job.romLines[page * 256 + offset]), 0));
            if (!isLabelWord(word)) continue;
            ++uses[word];
            words[offset] = std::move(word);
        }
        // The first word, in address order, that is defined again later in its page.
        for (const std::string& word : words) {
            if (!word.empty() && uses[word] > 1) {
                messages.showError(msgDuplicateLabelPrefix + word + "]");
                return false;
            }
        }
    }
    return true;
}

bool encodeRom(AssemblyJob& job, MessageBoxes& messages) {
    EncodingContext context;
    context.table = job.table;
    context.calculatorType = job.calculatorType;
    context.romSize = romSizeOf(job);
    context.romLines = &job.romLines;
    EncodingState state;

    const size_t words = std::min(job.romLines.size(), static_cast<size_t>(context.romSize));
    for (size_t address = 0; address < words; ++address) {
        const std::string textPart = romLineTextPart(job.romLines[address]);
        LineEncoding encoding = encodeLine(context, static_cast<int>(address), textPart, state);
        if (encoding.kind == LineEncoding::Kind::failed) {
            std::string shown = stripSourceComment(textPart);
            for (char& c : shown)
                if (c == '\t') c = ' ';
            messages.showError("ERROR: " + encoding.diagnostic + "\r\r" + shown + "\r\r" +
                               "Line number: " + romLineNumber(job.romLines[address]));
            return false;
        }

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
    return true;
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
    if (!checkLabelSyntax(job, messages)) return false;
    if (!layoutRom(job, messages)) return false;
    if (!checkDuplicateLabels(job, messages)) return false;
    if (!encodeRom(job, messages)) return false;
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
