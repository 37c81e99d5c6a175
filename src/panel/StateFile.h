#pragma once

// Continuous memory: the whole machine state in a file beside the roll, so that a
// calculator closed with the power on resumes where it was.

#include <cstdint>
#include <string>
#include <vector>

#include "printer/PrintMechanism.h"
#include "processor/MachineState.h"

namespace quorvel {

inline constexpr const char* stateFileName = "qs73.dat";

enum class StateFileResult {
    restored,    // the machine now holds the stored state
    missing,     // no state file: power on fresh
    damaged,     // unreadable, cut short or altered: set it aside, power on fresh
    mismatched,  // another ROM, other machine parameters or another format: the same
};

// A fingerprint of what a state belongs to: the assembled ROM and the machine parameters.
uint64_t machineFingerprint(const MachineState& machine);

// The state as the lines of the file: everything the processor holds (registers, P,
// carry, status, flags, return stack, RAM, the key queue, the display flags and the print
// line buffer), with the fingerprint and a check over the lines. The ROM, the switch
// inputs (print mode, angle) and the error text are not stored: the ROM is assembled at
// start-up and the switches come from the settings; after a restore no key is down.
std::vector<std::string> stateFileLines(const MachineState& machine);
// Takes a state from such lines into a machine of the same ROM and parameters. Anything
// but `restored` leaves the machine as it was.
StateFileResult readStateLines(const std::vector<std::string>& lines, MachineState& machine);

// Written atomically, in the scrambled container of the roll. False when it was not.
bool saveStateFile(const std::string& path, const MachineState& machine);
StateFileResult loadStateFile(const std::string& path, MachineState& machine);

// After a restore: the head stands at rest and a line that was being printed is printed
// again from its start (the paper is drawn again from the roll, which holds only the
// lines finished), so no line is lost or printed twice.
void resumePrinterAfterRestore(PrintMechanism& printer, const MachineState& machine);

// The one-line note for a state that was set aside; empty for restored and missing.
std::string stateFileNote(StateFileResult result);

}  // namespace quorvel
