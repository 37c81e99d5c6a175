#include "printer/RollPrinting.h"

#include <cmath>

#include "printer/Resampler.h"
#include "printer/RollEntry.h"
#include "printer/RollStore.h"

namespace quorvel {

int roundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5) return static_cast<int>(lower) + 1;
    if (fraction < 0.5) return static_cast<int>(lower);
    const int low = static_cast<int>(lower);
    return low % 2 == 0 ? low : low + 1;
}

PageGeometry pageGeometry(int dpi, int pageWidth) {
    PageGeometry page;
    page.margin = dpi;
    page.columnWidth = (pageWidth - 2 * dpi) / rollColumnsPerPage;
    page.lineWidth = roundHalfEven(1.5 * dpi);
    page.lineHeight = roundHalfEven(8.0 * page.lineWidth / 110.0);
    page.linePitch = roundHalfEven(1.5 * page.lineHeight);
    return page;
}

bool printRollOnPrinter(const std::vector<std::string>& entries, const CharacterSet& characters,
                        RollPrinterDevice& printer, MessageBoxes& messages) {
    // Every entry is read before the job begins, so a damaged one leaves the printer
    // untouched instead of a job cut off half-way.
    std::vector<RollEntryCodes> lines(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] == blankRollLine) continue;
        lines[i] = readRollEntry(entries[i]);
        if (lines[i].firstUnreadable >= 0) {
            messages.showError(std::string(messageRollDamaged) + std::to_string(i + 1) + " of " +
                               std::to_string(entries.size()) + ", column " +
                               std::to_string(lines[i].firstUnreadable + 1) +
                               ", is not made of print codes.");
            return false;
        }
    }

    if (!printer.beginDocument()) {
        messages.showError(messagePrinterFailed);
        return false;
    }
    const int dpi = printer.resolution();
    const int pageHeight = printer.pageHeight();
    const PageGeometry page = pageGeometry(dpi, printer.pageWidth());
    if (dpi <= 0 || page.lineHeight <= 0) {
        printer.abortDocument();
        messages.showError(messagePrinterFailed);
        return false;
    }

    LineImage lineImage;
    Bitmap printerLine(page.lineWidth, page.lineHeight);
    int y = page.margin;
    int column = 0;
    bool pageFull = false;
    for (size_t i = 0; i < entries.size(); ++i) {
        // A full page is followed by a new one only when there is a line for it, so the
        // job never ends on an empty sheet.
        if (pageFull) {
            pageFull = false;
            if (!printer.newPage()) {
                printer.abortDocument();
                messages.showError(messagePrinterFailed);
                return false;
            }
        }
        if (entries[i] != blankRollLine) {
            clearLineImage(lineImage, inkColour);
            drawRollEntry(characters, lineImage, lines[i]);
            resampleBitmap(page.lineWidth, page.lineHeight, filterLanczos3, 0, lineImage.bitmap,
                           printerLine);
            printer.drawBitmap(page.columnX(column), y, printerLine);
            std::string text = characters.lineCharacters(entries[i]);
            text.erase(text.find_last_not_of(' ') + 1);
            printer.drawHiddenText(page.columnX(column), y, page.lineWidth, page.lineHeight, text);
        }
        y += page.linePitch;
        if (y > pageHeight - page.margin) {
            y = page.margin;
            if (++column >= rollColumnsPerPage) {
                column = 0;
                pageFull = true;
            }
        }
    }
    if (!printer.endDocument()) {
        messages.showError(messagePrinterFailed);
        return false;
    }
    return true;
}

}  // namespace quorvel
