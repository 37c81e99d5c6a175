#pragma once

#include <string>

#include "processor/MachineState.h"
#include "printer/RollStore.h"

namespace quorvel {

// What the mechanism tells the window around it.
class PrinterEvents {
public:
    virtual ~PrinterEvents() = default;
    // A printing pass begins.
    virtual void printPassStarted() = 0;
    // A line was appended to the roll.
    virtual void rollLineAdded() = 0;
    // The head came home with nothing more to print.
    virtual void printerWentIdle() = 0;
    // The head image or the platen moved.
    virtual void printerMoved() {}
};

constexpr int headRestPosition = 558;
constexpr int headLeftEnd = 420;
constexpr int defaultLeftMoveSpeed = 47;
constexpr int defaultRightMoveSpeed = 24;
constexpr int parkedLeft = 2000;

// The strip printer: the line buffer the processor fills, the head that travels across
// the paper while the line is revealed, and its return while the paper moves up. Time is
// counted in run-loop passes.
class PrintMechanism {
public:
    PrintMechanism(MachineState& machine, RollStore& roll, PrinterEvents& events);

    // Draws the buffer into the line picture and records its text.
    void renderPrintLine();
    // Starts a printing pass when the printer is idle.
    void startPrinting();
    bool printerAtRest() const { return headPos == headRestPosition; }
    bool busy() const { return printerBusy; }
    // One run-loop pass while busy.
    void printerTick();
    // Forces the head to rest; a line being printed is abandoned.
    void resetPrintHead();

    const std::string& lastLineText() const { return lineText; }

    int headPos = headRestPosition;
    int headCountdown = defaultLeftMoveSpeed;
    bool headLeftward = true;
    bool printerBusy = false;
    int returnStepCount = 0;
    int platenLeft = parkedLeft;
    int leftMoveSpeed = defaultLeftMoveSpeed;
    int rightMoveSpeed = defaultRightMoveSpeed;

private:
    bool lineWaiting() const;

    MachineState& machine_;
    RollStore& roll_;
    PrinterEvents& events_;
    std::string lineText;
};

}  // namespace quorvel
