// Status bits, P register, flags, constants, machine control, save registers, stack,
// special transfers, printing, RAM with its keyboard port, and condition tests.

#include <string>
#include <utility>

#include "processor/ExecutorInternal.h"

namespace quorvel {

int32_t printCharCode(int32_t digit) { return digit >= 0 && digit <= 15 ? 4 * digit + 3 : 63; }

namespace detail {

namespace {

void setStatus(MachineState& m, int bit, uint8_t value) {
    if (bit >= 0 && bit < m.statusBitCount()) m.statusBits[static_cast<size_t>(bit)] = value;
}

uint8_t status(const MachineState& m, int bit) {
    return bit >= 0 && bit < m.statusBitCount() ? m.statusBits[static_cast<size_t>(bit)] : 0;
}

// P compared with n, with the rule for a test against 0 right after two equal P steps.
bool pDiffers(const MachineState& m, int n) {
    const int p = m.pRegister;
    const int previous = m.pChangeHistory[1];
    const int beforeThat = m.pChangeHistory[2];
    if (n == 0 && previous == 1 && beforeThat == 1) return !(p == 0 || p == 1);
    if (n == 0 && previous == -1 && beforeThat == -1) return !(p == 0 || p == 13);
    return p != n;
}

void testStatusBit(MachineState& m, int n, bool wantOne) {
    m.ifPending = true;
    if (n >= m.statusBitCount()) return;
    if (n == 0) {
        setStatus(m, 0, m.radFlag ? 1 : 0);
        setStatus(m, 15, m.grdFlag ? 1 : 0);
    }
    const bool isOne = status(m, n) != 0;
    m.carry = (isOne == wantOne) ? 0 : 1;
}

void ramError(MachineState& m, int32_t address) {
    m.errorText = errorInvalidRamPrefix + std::to_string(address);
}

bool inRam(const MachineState& m, int32_t address) {
    return address >= 0 && address < m.ramSize();
}

void readKeyboardPort(MachineState& m) {
    m.regC.fill(0);
    const int32_t code = m.keyQueue[0];
    if (code > 0) {
        m.regC[2] = code / 10;
        m.regC[1] = code % 10;
        for (int i = 0; i + 1 < keyQueueSlots; ++i) m.keyQueue[i] = m.keyQueue[i + 1];
        m.keyQueue[keyQueueSlots - 1] = 0;
    }
}

// Binary digits of a value, at least four of them.
std::string digitBits(int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    std::string bits;
    while (v != 0) {
        bits.insert(bits.begin(), (v & 1) ? '1' : '0');
        v >>= 1;
    }
    while (bits.size() < 4) bits.insert(bits.begin(), '0');
    return bits;
}

int32_t bitsValue(const std::string& bits) {
    int32_t value = 0;
    for (char c : bits) value = value * 2 + (c == '1' ? 1 : 0);
    return value;
}

void printRegister(MachineState& m, int kind, MachinePeripherals& peripherals) {
    auto& buffer = m.printLineBuffer;
    int column = -1;
    for (int i = printColumns - 1; i >= 0; --i) {
        if (buffer[i] == blankPrintCode) {
            column = i;
            break;
        }
    }
    if (column >= 0) {
        if (kind == 12) {
            for (int k = 0; k <= topDigit && column >= 0; ++k) {
                buffer[column--] = printCharCode(m.regC[k]);
            }
        } else {
            std::string bits;
            for (int k = topDigit; k >= 0; --k) bits += digitBits(m.regC[k]);
            int end = static_cast<int>(bits.size());
            while (column >= 0 && end > 0) {
                const int start = end - 6;
                buffer[column--] = bitsValue(start < 0 ? bits.substr(0, 6) : bits.substr(start, 6));
                end -= 6;
            }
            if (kind == 14 && end <= 0) {
                static constexpr std::pair<int32_t, int32_t> endOfLine[] = {
                    {8, 10}, {12, 64}, {16, 18}, {20, 22}, {24, 51}, {32, 38}, {36, 47}};
                for (const auto& [from, to] : endOfLine) {
                    if (buffer[18] == from) {
                        buffer[18] = to;
                        break;
                    }
                }
            }
        }
    }
    peripherals.renderPrintLine();
    peripherals.startPrinting();
}

}  // namespace

void executeStatus(MachineState& m, int operand) {
    const int n = operand & 15;
    switch ((operand >> 4) & 15) {
        case 0: setStatus(m, n, 0); break;
        case 1: setStatus(m, n, 1); break;
        case 2: testStatusBit(m, n, false); break;
        case 3:
            for (int i = 0; i < m.statusBitCount(); ++i) {
                if (i != 1 && i != 2 && i != 5 && i != 15) m.statusBits[static_cast<size_t>(i)] = 0;
            }
            break;
        case 4:
            if (n > m.highestP) {
                m.errorText = errorInvalidP;
            } else {
                m.pRegister = n;
            }
            break;
        case 5:
            m.ifPending = true;
            m.carry = pDiffers(m, n) ? 0 : 1;
            break;
        case 6:
            m.pRegister = m.pRegister + 1 > m.highestP ? 0 : m.pRegister + 1;
            m.pChangeHistory[0] = 1;
            break;
        case 7:
            m.pRegister = m.pRegister - 1 < 0 ? m.highestP : m.pRegister - 1;
            m.pChangeHistory[0] = -1;
            break;
        case 8: {
            const int k = operand & 7;
            const uint8_t value = (operand & 8) ? 1 : 0;
            if (m.flagBits[k] == 1 && value == 0) setStatus(m, 11, 1);
            m.flagBits[k] = value;
            break;
        }
        case 9: testStatusBit(m, n, true); break;
        case 10:
            m.ifPending = true;
            m.carry = pDiffers(m, n) ? 1 : 0;
            break;
        default: break;
    }
}

void executeLoadConstant(MachineState& m, int operand) {
    if (m.pRegister >= 0 && m.pRegister <= topDigit) m.regC[m.pRegister] = operand & 15;
    m.pRegister = m.pRegister - 1 < 0 ? topDigit : m.pRegister - 1;
}

void executeMachineControl(MachineState& m, int operand, MachinePeripherals& peripherals) {
    switch (operand & 7) {
        case 0:
            m.displayOn = !m.displayOn;
            m.displayChanged = true;
            break;
        case 1:
            m.displayOn = false;
            m.displayChanged = true;
            break;
        case 2:
            m.displayOn = true;
            m.displayChanged = true;
            peripherals.renderDisplay();
            break;
        case 3:
            for (Register* r : {&m.regA, &m.regB, &m.regC, &m.stack1, &m.stack2, &m.stack3}) {
                r->fill(0);
            }
            break;
        case 4: {
            const int32_t base = m.dataAddress & 48;
            for (int32_t r = base; r <= base + 15 && r < m.ramSize(); ++r) {
                m.ram[static_cast<size_t>(r)].fill(0);
            }
            break;
        }
        case 5: m.numberBase = 10; break;
        case 6: m.numberBase = 16; break;
        default: executeBankSwitch(m); break;
    }
}

void executeSaveRegisters(MachineState& m, int operand) {
    switch (operand & 7) {
        case 0:
        case 1: std::swap(m.regC, m.regM1); break;
        case 2: std::swap(m.regC, m.regM2); break;
        case 3:
        case 4: m.regC = m.regM1; break;
        case 5: m.regC = m.regM2; break;
        default: break;
    }
}

void executeStack(MachineState& m, int operand) {
    switch (operand & 3) {
        case 0:
            m.stack3 = m.stack2;
            m.stack2 = m.stack1;
            m.stack1 = m.regC;
            break;
        case 1:
            m.regA = m.stack1;
            m.stack1 = m.stack2;
            m.stack2 = m.stack3;
            break;
        case 2: {
            const Register oldC = m.regC;
            m.regC = m.stack1;
            m.stack1 = m.stack2;
            m.stack2 = m.stack3;
            m.stack3 = oldC;
            break;
        }
        default: {
            const int32_t top = m.regA[topDigit];
            for (int i = topDigit; i > 0; --i) m.regA[i] = m.regA[i - 1];
            m.regA[0] = top;
            break;
        }
    }
}

void executeSpecial(MachineState& m, int operand, MachinePeripherals& peripherals) {
    switch (operand & 15) {
        case 0: executeKeysToRom(m); break;
        case 1: m.capturedAddress = m.gotoOffset; break;
        case 2: m.gotoOffset = m.capturedAddress; break;
        case 3: m.regA[1] = m.printMode; break;
        case 4: m.regA = m.stack1; break;
        case 5: executeAToRom(m); break;
        case 6: std::swap(m.digitReg, m.regA[0]); break;
        case 7: m.regA[0] = m.digitReg; break;
        case 8: setStatus(m, 3, peripherals.printerAtRest() ? 1 : 0); break;
        case 9: setStatus(m, 3, 1); break;
        case 10: {
            const bool waiting = m.keyQueue[0] != 0 && m.keyReleased == 1;
            setStatus(m, 3, waiting ? 1 : 0);
            if (m.keyQueue[0] == 0) peripherals.keyTestFoundEmpty();
            break;
        }
        case 11:
        case 12:
        case 14: printRegister(m, operand & 15, peripherals); break;
        default: break;
    }
}

void executeRam(MachineState& m, int operand) {
    const int n = (operand >> 4) & 15;
    switch (operand & 7) {
        case 0: {
            const int32_t address = m.regC[1] * 16 + m.regC[0];
            m.dataAddress = address;
            if (!inRam(m, address) && address != 255 && address != 153 && address != 155) {
                ramError(m, address);
            }
            break;
        }
        case 1:
            if (inRam(m, m.dataAddress)) {
                m.ram[static_cast<size_t>(m.dataAddress)] = m.regC;
            } else {
                ramError(m, m.dataAddress);
            }
            break;
        case 2:
            if (m.dataAddress == 255) {
                readKeyboardPort(m);
            } else if (inRam(m, m.dataAddress)) {
                m.regC = m.ram[static_cast<size_t>(m.dataAddress)];
            } else {
                ramError(m, m.dataAddress);
            }
            break;
        case 3: {
            const int32_t address = (m.dataAddress & ~15) + n;
            if (inRam(m, address)) {
                m.ram[static_cast<size_t>(address)] = m.regC;
                m.dataAddress = address;
            } else {
                ramError(m, address);
            }
            break;
        }
        case 4: {
            if (m.dataAddress == 255) {
                readKeyboardPort(m);
                break;
            }
            const int32_t address = n == 0 ? m.dataAddress : (m.dataAddress & ~15) + n;
            if (inRam(m, address)) {
                m.regC = m.ram[static_cast<size_t>(address)];
                m.dataAddress = address;
            } else {
                ramError(m, address);
            }
            break;
        }
        default: break;
    }
}

void executeCondition(MachineState& m, int operand) {
    const int op = operand & 31;
    if (op >= 18 && op <= 21) setStatus(m, 3, m.conditionFlags[static_cast<size_t>(op - 18)]);
}

}  // namespace detail

void afterInstruction(MachineState& m) {
    if (detail::status(m, 0) == 0) {
        detail::setStatus(m, 5, 1);
    } else {
        detail::setStatus(m, 5, m.printMode != printModeNorm ? 1 : 0);
        detail::setStatus(m, m.keyStatusBit, 1);
    }
}

}  // namespace quorvel
