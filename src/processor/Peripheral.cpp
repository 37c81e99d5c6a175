// Status bits, P register, flags, constants, machine control, save registers, stack,
// special transfers, printing, RAM with its keyboard port, and condition tests.

#include <string>
#include <utility>

#include "processor/ExecutorInternal.h"

namespace quorvel {

int32_t printCharCode(int32_t digit) {
    return digit >= 0 && digit <= 15 ? 4 * digit + 3 : 63;
}

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

void printRegister(MachineState& m, int kind, Io& peripherals) {
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

void clearStatusBit(MachineState& m, const Word& d, Io&) {
    setStatus(m, d.word & 15, 0);
}
void setStatusBit(MachineState& m, const Word& d, Io&) {
    setStatus(m, d.word & 15, 1);
}
void testStatusClear(MachineState& m, const Word& d, Io&) {
    testStatusBit(m, d.word & 15, false);
}
void testStatusSet(MachineState& m, const Word& d, Io&) {
    testStatusBit(m, d.word & 15, true);
}

void clearStatus(MachineState& m, const Word&, Io&) {
    for (int i = 0; i < m.statusBitCount(); ++i) {
        if (i != 1 && i != 2 && i != 5 && i != 15) m.statusBits[static_cast<size_t>(i)] = 0;
    }
}

void setP(MachineState& m, const Word& d, Io&) {
    const int n = d.word & 15;
    if (n > m.highestP) {
        m.errorText = errorInvalidP;
    } else {
        m.pRegister = n;
    }
}

void testPDiffers(MachineState& m, const Word& d, Io&) {
    m.carry = pDiffers(m, d.word & 15) ? 0 : 1;
}
void testPEquals(MachineState& m, const Word& d, Io&) {
    m.carry = pDiffers(m, d.word & 15) ? 1 : 0;
}

void incrementP(MachineState& m, const Word&, Io&) {
    m.pRegister = m.pRegister + 1 > m.highestP ? 0 : m.pRegister + 1;
    m.pChangeHistory[0] = 1;
}

void decrementP(MachineState& m, const Word&, Io&) {
    m.pRegister = m.pRegister - 1 < 0 ? m.highestP : m.pRegister - 1;
    m.pChangeHistory[0] = -1;
}

// Clearing a set flag raises status bit 11.
void setFlag(MachineState& m, const Word& d, Io&) {
    const int k = d.word & 7;
    const uint8_t value = (d.word & 8) ? 1 : 0;
    if (m.flagBits[k] == 1 && value == 0) setStatus(m, 11, 1);
    m.flagBits[k] = value;
}

void loadConstant(MachineState& m, const Word& d, Io&) {
    if (m.pRegister >= 0 && m.pRegister <= topDigit) m.regC[m.pRegister] = d.word & 15;
    m.pRegister = m.pRegister - 1 < 0 ? topDigit : m.pRegister - 1;
}

void displayToggle(MachineState& m, const Word&, Io&) {
    m.displayOn = !m.displayOn;
    m.displayChanged = true;
}

void displayOff(MachineState& m, const Word&, Io&) {
    m.displayOn = false;
    m.displayChanged = true;
}

void displayOn(MachineState& m, const Word&, Io& io) {
    m.displayOn = true;
    m.displayChanged = true;
    io.renderDisplay();
}

void clearRegisters(MachineState& m, const Word&, Io&) {
    for (Register* r : {&m.regA, &m.regB, &m.regC, &m.stack1, &m.stack2, &m.stack3}) r->fill(0);
}

// The 16 registers of the data address's group.
void clearDataRegisters(MachineState& m, const Word&, Io&) {
    const int32_t base = m.dataAddress & 48;
    for (int32_t r = base; r <= base + 15 && r < m.ramSize(); ++r) {
        m.ram[static_cast<size_t>(r)].fill(0);
    }
}

void baseTen(MachineState& m, const Word&, Io&) {
    m.numberBase = 10;
}
void baseSixteen(MachineState& m, const Word&, Io&) {
    m.numberBase = 16;
}

void exchangeM1(MachineState& m, const Word&, Io&) {
    std::swap(m.regC, m.regM1);
}
void exchangeM2(MachineState& m, const Word&, Io&) {
    std::swap(m.regC, m.regM2);
}
void m1ToC(MachineState& m, const Word&, Io&) {
    m.regC = m.regM1;
}
void m2ToC(MachineState& m, const Word&, Io&) {
    m.regC = m.regM2;
}

void stackPush(MachineState& m, const Word&, Io&) {
    m.stack3 = m.stack2;
    m.stack2 = m.stack1;
    m.stack1 = m.regC;
}

void stackPop(MachineState& m, const Word&, Io&) {
    m.regA = m.stack1;
    m.stack1 = m.stack2;
    m.stack2 = m.stack3;
}

void stackRotate(MachineState& m, const Word&, Io&) {
    const Register oldC = m.regC;
    m.regC = m.stack1;
    m.stack1 = m.stack2;
    m.stack2 = m.stack3;
    m.stack3 = oldC;
}

void rotateLeftA(MachineState& m, const Word&, Io&) {
    const int32_t top = m.regA[topDigit];
    for (int i = topDigit; i > 0; --i) m.regA[i] = m.regA[i - 1];
    m.regA[0] = top;
}

void offsetToCaptured(MachineState& m, const Word&, Io&) {
    m.capturedAddress = m.gotoOffset;
}
void capturedToOffset(MachineState& m, const Word&, Io&) {
    m.gotoOffset = m.capturedAddress;
}
void printModeToA(MachineState& m, const Word&, Io&) {
    m.regA[1] = m.printMode;
}
void yToA(MachineState& m, const Word&, Io&) {
    m.regA = m.stack1;
}
void digitExchangeA(MachineState& m, const Word&, Io&) {
    std::swap(m.digitReg, m.regA[0]);
}
void digitToA(MachineState& m, const Word&, Io&) {
    m.regA[0] = m.digitReg;
}

void printerReadyToS3(MachineState& m, const Word&, Io& io) {
    setStatus(m, 3, io.printerAtRest() ? 1 : 0);
}

void oneToS3(MachineState& m, const Word&, Io&) {
    setStatus(m, 3, 1);
}

void keyReadyToS3(MachineState& m, const Word&, Io& io) {
    const bool waiting = m.keyQueue[0] != 0 && m.keyReleased == 1;
    setStatus(m, 3, waiting ? 1 : 0);
    if (m.keyQueue[0] == 0) io.keyTestFoundEmpty();
}

void printPacked(MachineState& m, const Word&, Io& io) {
    printRegister(m, 11, io);
}
void printDigits(MachineState& m, const Word&, Io& io) {
    printRegister(m, 12, io);
}
void printPackedEol(MachineState& m, const Word&, Io& io) {
    printRegister(m, 14, io);
}

void cToDataAddress(MachineState& m, const Word&, Io&) {
    const int32_t address = m.regC[1] * 16 + m.regC[0];
    m.dataAddress = address;
    if (!inRam(m, address) && address != 255 && address != 153 && address != 155) {
        ramError(m, address);
    }
}

void cToData(MachineState& m, const Word&, Io&) {
    if (inRam(m, m.dataAddress)) {
        m.ram[static_cast<size_t>(m.dataAddress)] = m.regC;
    } else {
        ramError(m, m.dataAddress);
    }
}

void dataToC(MachineState& m, const Word&, Io&) {
    if (m.dataAddress == 255) {
        readKeyboardPort(m);
    } else if (inRam(m, m.dataAddress)) {
        m.regC = m.ram[static_cast<size_t>(m.dataAddress)];
    } else {
        ramError(m, m.dataAddress);
    }
}

void cToDataRegister(MachineState& m, const Word& d, Io&) {
    const int32_t address = (m.dataAddress & ~15) + ((d.word >> 4) & 15);
    if (inRam(m, address)) {
        m.ram[static_cast<size_t>(address)] = m.regC;
        m.dataAddress = address;
    } else {
        ramError(m, address);
    }
}

// Register 0 of the numbered reads is the data address itself.
void dataRegisterToC(MachineState& m, const Word& d, Io&) {
    if (m.dataAddress == 255) {
        readKeyboardPort(m);
        return;
    }
    const int n = (d.word >> 4) & 15;
    const int32_t address = n == 0 ? m.dataAddress : (m.dataAddress & ~15) + n;
    if (inRam(m, address)) {
        m.regC = m.ram[static_cast<size_t>(address)];
        m.dataAddress = address;
    } else {
        ramError(m, address);
    }
}

void conditionToS3(MachineState& m, const Word& d, Io&) {
    setStatus(m, 3, m.conditionFlags[static_cast<size_t>((d.word & 31) - 18)]);
}

}  // namespace detail

}  // namespace quorvel
