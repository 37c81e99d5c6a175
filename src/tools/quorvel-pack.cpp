// Packs a data source into the form the simulator reads:
//   quorvel-pack IN.txt OUT.dat         text lines into the NeWe container
//   quorvel-pack --whole IN OUT         any file scrambled byte by byte

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "io/ScrambledFile.h"

namespace {

// Collects the message scrambleFileCopy would show, for stderr.
class StderrMessages : public quorvel::MessageBoxes {
  public:
    void showError(const std::string& text) override {
        failed = true;
        std::fprintf(stderr, "quorvel-pack: %s\n", text.c_str());
    }
    void showInformation(const std::string& text) override {
        std::fprintf(stderr, "quorvel-pack: %s\n", text.c_str());
    }
    bool confirm(const std::string&) override { return false; }
    bool failed = false;
};

int usage() {
    std::fprintf(stderr,
                 "usage: quorvel-pack IN.txt OUT.dat\n"
                 "       quorvel-pack --whole IN OUT\n");
    return 1;
}

bool readFile(const std::string& path, std::string& bytes) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return false;
    bytes.clear();
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, got);
    bool ok = !std::ferror(in);
    std::fclose(in);
    return ok;
}

// Lines end at CR, LF or CRLF, as the loader splits them.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "--whole") {
        struct stat info {};
        if (::stat(args[1].c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            std::fprintf(stderr, "quorvel-pack: cannot read %s\n", args[1].c_str());
            return 2;
        }
        StderrMessages messages;
        quorvel::scrambleFileCopy(args[1], args[2], messages);
        return messages.failed ? 2 : 0;
    }
    if (args.size() != 2 || args[0].starts_with("--")) return usage();

    std::string text;
    if (!readFile(args[0], text)) {
        std::fprintf(stderr, "quorvel-pack: cannot read %s\n", args[0].c_str());
        return 2;
    }
    std::vector<std::string> lines = splitLines(text);
    if (lines.empty()) {
        // The loader refuses a container with no payload, so an empty source has no packed form.
        std::fprintf(stderr, "quorvel-pack: %s is empty\n", args[0].c_str());
        return 2;
    }
    if (!quorvel::saveScrambledList(args[1], lines)) {
        std::fprintf(stderr, "quorvel-pack: cannot write %s\n", args[1].c_str());
        return 2;
    }
    return 0;
}
