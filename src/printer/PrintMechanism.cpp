#include "printer/PrintMechanism.h"

namespace quorvel {

PrintMechanism::PrintMechanism(MachineState& machine, RollStore& roll, PrinterEvents& events)
    : machine_(machine), roll_(roll), events_(events) {}

void PrintMechanism::renderPrintLine() {
    lineText.clear();
    for (int code : machine_.printLineBuffer) {
        lineText += std::to_string(code);
        lineText += '~';
    }
}

void PrintMechanism::startPrinting() {
    if (printerBusy) return;
    events_.printPassStarted();
    printerBusy = true;
}

bool PrintMechanism::lineWaiting() const {
    for (int code : machine_.printLineBuffer) {
        if (code != blankPrintCode) return true;
    }
    return false;
}

void PrintMechanism::printerTick() {
    if (--headCountdown > 0) return;
    if (headLeftward) {
        headCountdown = leftMoveSpeed;
        --headPos;
        if (headPos >= headLeftEnd) {
            if ((headPos - headLeftEnd) % 6 == 0) returnStepCount = 0;
        } else {
            headPos = headLeftEnd;
            headLeftward = false;
            platenLeft = parkedLeft;
            roll_.appendRollLine(lineText);
            events_.rollLineAdded();
            machine_.printLineBuffer = MachineState::blankPrintLine();
        }
    } else {
        headCountdown = rightMoveSpeed;
        ++headPos;
        if (headPos <= headRestPosition) {
            ++returnStepCount;
        } else {
            headPos = headRestPosition;
            headLeftward = true;
            if (lineWaiting()) {
                events_.printPassStarted();
            } else {
                printerBusy = false;
                events_.printerWentIdle();
            }
        }
    }
    events_.printerMoved();
}

void PrintMechanism::resetPrintHead() {
    headLeftward = true;
    headPos = headRestPosition;
    printerBusy = false;
    headCountdown = defaultLeftMoveSpeed;
    platenLeft = parkedLeft;
    events_.printerMoved();
}

}  // namespace quorvel
