#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "printer/CharacterSet.h"
#include "printer/RollEntry.h"
#include "processor/MachineState.h"

namespace quorvel {

// What the mechanism tells the window around it.
class PrinterEvents {
  public:
    virtual ~PrinterEvents() = default;
    // A printing pass begins (the print sound).
    virtual void printPassStarted() = 0;
    // A line was appended to the roll.
    virtual void rollLineAdded() = 0;
    // The head came home with nothing more to print.
    virtual void printerWentIdle() = 0;
    // The head image, the platen or the paper picture changed.
    virtual void printerMoved() {}
};

// Head travel, in face pixels of the head image's left edge.
constexpr int headRestPosition = 558;
constexpr int headLeftEnd = 420;
constexpr int headTop = 196;
constexpr int defaultLeftMoveSpeed = 47;
constexpr int defaultRightMoveSpeed = 24;
// A picture whose left edge stands here is outside the window.
constexpr int parkedLeft = 2000;
constexpr int platenHomeLeft = 421;

// The paper window and the printed line on it.
constexpr int paperWidth = 169;
constexpr int paperHeight = 212;
constexpr int paperLeft = 421;
constexpr int paperTop = 2;
constexpr int freshPaperTopRow = 169;
constexpr int lineStripWidth = 132;
constexpr int lineStripHeight = 8;
constexpr int printLineLeft = 20;
constexpr int printLineTop = 196;
// The feed countdown of one blank line: it runs out on the tenth tick, after 20 rows.
constexpr int feedTicksPerLine = 9;

// Colours of the fresh roll picture drawn when no picture is supplied.
constexpr Rgb paperWellColour{72, 72, 78};
constexpr Rgb paperEdgeColour{206, 204, 196};

// The fresh roll: the empty paper well in rows 0..168, the torn top edge of the paper in
// rows 169 and 170, white paper below.
Bitmap freshRollPicture();

// The strip printer: the line buffer the processor fills, the head that travels across
// the paper while the line is revealed, and its return while the paper moves up. Time is
// counted in run-loop passes.
// Lines drawn back onto the paper at start-up, and the rows each one takes.
constexpr int redrawnRollLines = 8;
constexpr int rowsPerRedrawnLine = 19;

class PrintMechanism {
  public:
    PrintMechanism(MachineState& machine, RollLineSink& roll, const CharacterSet& characters,
                   PrinterEvents& events);

    // Records the buffer's text and codes for the line picture and the strip shown on the
    // paper. The drawing and resampling wait until the strip is first needed: a print
    // loop in the microcode renders on every word, and only the last rendering is shown.
    void renderPrintLine();
    // Brings `lineImage` and `lineStrip` up to the last rendered line.
    void drawPendingLine();
    // Starts a printing pass when the printer is idle.
    void startPrinting();
    bool printerAtRest() const { return headPos == headRestPosition; }
    bool busy() const { return printerBusy; }
    // One run-loop pass while busy.
    void printerTick();
    // Forces the head to rest; a line being printed is abandoned.
    void resetPrintHead();

    // Moves the paper up one row; from the head's return pass only on the steps its
    // schedule picks.
    void advancePaper(bool fromHeadReturn);
    // Puts the fresh roll picture back on the paper.
    void showFreshPaper();
    // Takes the paper's present picture as the fresh roll (start-up).
    void takeFreshPaper();
    // Draws a stored line text (or "Blank") at the print line: the start-up redraw of the
    // roll. A field that is not a number prints as code 59.
    void drawStoredLine(const std::string& lineText);
    // Draws the last lines of the first `count` stored ones back onto the paper, oldest first.
    void redrawRollTail(const std::vector<std::string>& lines, int count);

    // One 40 ms tick of the paper feed: two rows up. True when the blank line is complete
    // (it has then been appended to the roll).
    bool feedTick();

    const Bitmap& paperImage() const { return paper; }

    int headPos = headRestPosition;
    int headCountdown = defaultLeftMoveSpeed;
    bool headLeftward = true;
    bool printerBusy = false;
    int returnStepCount = 0;
    int paperTopRow = 0;
    int feedCountdown = 0;
    int platenLeft = platenHomeLeft;
    int leftMoveSpeed = defaultLeftMoveSpeed;
    int rightMoveSpeed = defaultRightMoveSpeed;

    // The last rendered line at working size and resampled; current after drawPendingLine.
    LineImage lineImage;
    Bitmap lineStrip{lineStripWidth, lineStripHeight};
    // The picture of the paper window (paper97Image); the window may replace it with its
    // own fresh roll picture before start-up.
    Bitmap paper = freshRollPicture();
    Bitmap freshPaperImage = paper;
    Bitmap scrollScratch = paper;

  private:
    bool lineWaiting() const;
    void reveal();
    // Copies strip columns onto the print line, stretched to its height.
    void copyStripToPaper(int firstPaperColumn, int columns);
    void resampleLine();

    MachineState& machine_;
    RollLineSink& roll_;
    const CharacterSet& characters_;
    PrinterEvents& events_;
    std::string lineText;
    std::array<int32_t, printColumns> pendingCodes_{};
    bool linePending_ = false;
    std::array<int32_t, printColumns> drawnCodes_{};  // what lineImage shows, when valid
    bool drawnCodesValid_ = false;
};

}  // namespace quorvel
