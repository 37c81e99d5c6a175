// The calculator data reader and the machine-parameter line on arbitrary text.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "io/ScrambledFile.h"
#include "panel/CalculatorData.h"

using namespace quorvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\n') {
            lines.emplace_back();
        } else if (c != '\r') {
            lines.back() += c;
        }
    }
    static const std::string path = "/tmp/quorvel-fuzz-data-" + std::to_string(getpid()) + ".dat";
    if (!saveScrambledList(path, lines)) return 0;
    CalculatorData calculatorData;
    if (loadCalculatorData(path, 91, calculatorData)) {
        MachineParameters parameters;
        std::string message;
        parseMachineParameters(calculatorData.parameterLine, parameters, message);
    }
    return 0;
}
