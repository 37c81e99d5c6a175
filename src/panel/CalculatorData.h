#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "processor/MachineState.h"

namespace quorvel {

// A kind-1 record of the calculator data file (columns of fixed width).
struct CalculatorRecord {
    int32_t code = -1;
    int32_t number = 0;
    int32_t digit = 0;
    bool flag = false;
    std::string text;
};

// The section of one calculator type in the calculator data file.
struct CalculatorData {
    std::string parameterLine;  // the last kind-0 line, without its prefix
    std::vector<CalculatorRecord> records;
    std::vector<int32_t> kind2Numbers;
    std::vector<int32_t> kind3Numbers;
    std::vector<std::string> kind4Texts;
};

constexpr int kind2Limit = 42;
constexpr int kind3Limit = 58;
constexpr int kind4Limit = 42;

// The calculator this program is: the type code its data files and instructions carry.
constexpr int calculatorType = 91;

// "dsplbfs.dat" (46), "dsplbns.dat" (97), "dsplbno.dat" (91), else "dsplab.dat".
std::string calculatorDataFileName(int calculatorType);

// Reads the section of the given type. False when the file is missing or malformed, the
// section is missing or unclosed, or a line is rejected.
bool loadCalculatorData(const std::string& path, int calculatorType, CalculatorData& data);

// Reads the machine-parameter line into sizes. False, with a message for the user naming
// the file, when a decimal field is not a number, the ROM size is not a hexadecimal number
// of at least one page, or a size is out of range.
bool parseMachineParameters(const std::string& parameterLine, MachineParameters& parameters,
                            std::string& message,
                            const std::string& fileName = calculatorDataFileName(calculatorType));

}  // namespace quorvel
