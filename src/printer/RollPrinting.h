#pragma once

#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Platform.h"
#include "printer/CharacterSet.h"

namespace quorvel {

// A system printer as the roll's print job uses it, in printer pixels.
class RollPrinterDevice {
  public:
    virtual ~RollPrinterDevice() = default;
    // Sets portrait orientation and begins a document; false when the printer refuses.
    virtual bool beginDocument() = 0;
    // The page's printable area and the horizontal resolution in pixels per inch; asked
    // once the document has begun.
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;
    virtual int resolution() const = 0;
    // The bitmap with its top left corner at (x, y) of the current page.
    virtual void drawBitmap(int x, int y, const Bitmap& bitmap) = 0;
    // The line's text, unseen, over the box of its picture, so a PDF viewer can find and
    // copy it; a printer on paper draws nothing.
    virtual void drawHiddenText(int /*x*/, int /*y*/, int /*width*/, int /*height*/,
                                const std::string& /*text*/) {}
    virtual bool newPage() = 0;
    virtual bool endDocument() = 0;
    // Throws the document away, so nothing of it is printed.
    virtual void abortDocument() = 0;
};

// Where the lines go on a page, in printer pixels, for a resolution of `dpi` pixels per
// inch: one-inch margins, three columns, each line 1.5 inches wide and 8/110 of that high.
struct PageGeometry {
    int margin = 0;
    int columnWidth = 0;
    int lineWidth = 0;
    int lineHeight = 0;
    int linePitch = 0;
    int columnX(int column) const { return column * columnWidth + margin; }
};
constexpr int rollColumnsPerPage = 3;
PageGeometry pageGeometry(int dpi, int pageWidth);

// Nearest integer, halves to the even neighbour.
int roundHalfEven(double value);

// Messages of a print job that could not be made; the text says what and where.
inline constexpr const char* messageRollDamaged = "The roll cannot be printed: line ";
inline constexpr const char* messagePrinterFailed = "The printer did not accept the print job.";

// Prints every roll entry, oldest first, as a picture of its printed line in three columns
// a page; a "Blank" entry leaves a gap of one line. An empty roll gives an empty job. A roll
// with an entry whose fields are not numbers prints nothing and says which line it is; a
// printer that fails mid-way gets the job aborted. Errors are shown in an error box; false
// then.
bool printRollOnPrinter(const std::vector<std::string>& entries, const CharacterSet& characters,
                        RollPrinterDevice& printer, MessageBoxes& messages);

}  // namespace quorvel
