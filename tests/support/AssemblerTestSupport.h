#pragma once

// Shared by the assembler tests: a message box that records what it is asked to show,
// and a scratch folder that removes itself.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quorvel::test {

class RecordingMessages : public MessageBoxes {
  public:
    void showError(const std::string& text) override { errors.push_back(text); }
    void showInformation(const std::string& text) override { information.push_back(text); }
    bool confirm(const std::string& text) override {
        confirmations.push_back(text);
        return confirmAnswer;
    }
    size_t count() const { return errors.size() + information.size() + confirmations.size(); }
    // The one message of a failed run, whatever its kind.
    std::string only() const {
        if (count() != 1) return "<" + std::to_string(count()) + " messages>";
        return errors.empty() ? information.front() : errors.front();
    }

    bool confirmAnswer = false;
    std::vector<std::string> errors;
    std::vector<std::string> information;
    std::vector<std::string> confirmations;
};

class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string path(const std::string& name) const { return (folder_ / name).string(); }
    // Writes the bytes as they are.
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;

  private:
    std::filesystem::path folder_;
};

// The bytes XORed with the scrambling byte, as every data file stores them.
std::string scrambled(const std::string& plain);

}  // namespace quorvel::test
