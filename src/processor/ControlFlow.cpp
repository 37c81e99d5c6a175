// Instruction dispatch, and the instructions that change the program counter.

#include "processor/ExecutorInternal.h"

namespace quorvel {

namespace detail {

void afterJump(MachineState& m) {
    if (m.delayedBankSelect >= 0) {
        m.programCounter = (m.programCounter & 0x7FF) + m.delayedBankSelect;
        m.delayedBankSelect = -1;
    }
    if (m.delayedPageSelect >= 0) {
        m.programCounter = (m.programCounter & 0x10FF) + m.delayedPageSelect;
        m.delayedPageSelect = -1;
    }
}

void checkAddressWord(MachineState& m) {
    const int32_t pc = m.programCounter;
    if (pc >= 0 && pc < m.romSize() && m.romImage[static_cast<size_t>(pc)].addressWord != 0) {
        m.errorText = errorAddressWord;
    }
}

void executeReturn(MachineState& m, int operand) {
    if (operand == 0) return;  // no operation
    if (m.returnStack.empty() || m.returnStack[0] < 0) {
        m.errorText = errorEmptyReturn;
    } else {
        m.programCounter = m.returnStack[0];
        if (m.returnStack.size() > 1) {
            m.returnStack[0] = m.returnStack[1];
            m.returnStack[1] = -1;
        } else {
            m.returnStack[0] = -1;
        }
    }
    m.delayedPageSelect = -1;
    m.delayedBankSelect = -1;
}

void executeCall(MachineState& m, int operand) {
    if (m.returnStack.size() > 1) m.returnStack[1] = m.returnStack[0];
    if (!m.returnStack.empty()) m.returnStack[0] = m.programCounter;
    m.programCounter = (m.programCounter & ~255) + operand;
    afterJump(m);
    if (m.flagBits[7] == 1) {
        m.capturedAddress = m.programCounter & 63;
        m.flagBits[7] = 0;
    }
    checkAddressWord(m);
}

void executeGoto(MachineState& m, int32_t word, int operand, bool branchAddress) {
    if (m.carry == 0) {
        if (branchAddress) {
            m.programCounter = (m.currentAddress & 0x1C00) + word;
        } else {
            m.programCounter = (m.programCounter & 0x1F00) | ((m.gotoOffset + operand) & 255);
        }
        m.gotoOffset = 0;
        afterJump(m);
        if (m.programCounter >= 4096 && m.programCounter < 5120) m.programCounter &= 4095;
        checkAddressWord(m);
    }
    m.carry = 0;
}

void executeRomSelect(MachineState& m, int operand) {
    const int n = (operand >> 4) & 15;
    switch (operand & 3) {
        case 0:
            m.programCounter = (m.programCounter & 0x10FF) + n * 256;
            if (m.programCounter >= m.romSize()) m.errorText = errorInvalidRom;
            break;
        case 1:
            m.delayedPageSelect = n * 256;
            break;
        case 2:
            m.delayedBankSelect = (n & 1) ? 4096 : 0;
            break;
        default:
            break;
    }
}

void executeBankSwitch(MachineState& m) { m.programCounter ^= 4096; }

void executeKeysToRom(MachineState& m) {
    if (m.keyCode < 0) m.keyCode = 0;
    m.programCounter = (m.programCounter & 0x1F00) + m.keyCode;
    if (m.flagBits[7] == 1) {
        m.capturedAddress = m.programCounter & 63;
        m.flagBits[7] = 0;
    }
}

void executeAToRom(MachineState& m) {
    m.programCounter = (m.programCounter & 0x1F00) + m.regA[2] * 16 + m.regA[1];
    afterJump(m);
}

}  // namespace detail

void executeWord(MachineState& m, int32_t word, MachinePeripherals& peripherals) {
    using namespace detail;
    const bool branchAddress = m.ifPending;
    int cls = 2;
    int operand = instructionOperand(word);
    if (!branchAddress) {
        cls = instructionClass(word);
        if (cls != 2) m.carry = 0;
    }
    m.ifPending = false;
    m.pChangeHistory[2] = m.pChangeHistory[1];
    m.pChangeHistory[1] = m.pChangeHistory[0];
    m.pChangeHistory[0] = 0;

    switch (cls) {
        case 0: executeReturn(m, operand); break;
        case 1: executeCall(m, operand); break;
        case 2: executeGoto(m, word, operand, branchAddress); break;
        case 3: executeArithmetic(m, operand); break;
        case 4: executeStatus(m, operand); break;
        case 5: executeLoadConstant(m, operand); break;
        case 6: executeMachineControl(m, operand, peripherals); break;
        case 8: executeSaveRegisters(m, operand); break;
        case 9: executeStack(m, operand); break;
        case 10: executeRomSelect(m, operand); break;
        case 11: executeSpecial(m, operand, peripherals); break;
        case 12: executeRam(m, operand); break;
        case 14: executeCondition(m, operand); break;
        default: break;  // classes 7, 13 and 15 do nothing
    }
}

}  // namespace quorvel
