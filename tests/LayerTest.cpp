// The source folders form layers that point one way; this reads every include of src/ and
// fails on one that points up, sideways where that is not allowed, or at a toolkit.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace quorvel {
namespace {

namespace fs = std::filesystem;

// What each core folder may include besides itself. Folders not named here (the front
// ends and the tools) sit on top and may include anything of the core.
const std::map<std::string, std::set<std::string>> allowedBelow = {
    {"platform", {}},
    {"io", {"platform"}},
    {"processor", {}},
    {"assembler", {"processor", "io", "platform"}},
    {"printer", {"processor", "io", "platform"}},
    {"panel", {"printer", "assembler", "processor", "io", "platform"}},
};

// Files that must not know each other, though their folder allows it.
const std::vector<std::pair<std::string, std::string>> strangers = {
    {"printer/RollStore", "printer/PrintMechanism"},
    {"printer/PrintMechanism", "printer/RollStore"},
};

struct Include {
    fs::path file;
    std::string target;
    bool angled = false;
};

std::vector<Include> includesOf(const fs::path& file) {
    std::vector<Include> found;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const auto hash = line.find_first_not_of(" \t");
        if (hash == std::string::npos || line[hash] != '#') continue;
        const auto word = line.find_first_not_of(" \t", hash + 1);
        if (word == std::string::npos || line.compare(word, 7, "include") != 0) continue;
        const auto open = line.find_first_of("<\"", word + 7);
        if (open == std::string::npos) continue;
        const char close = line[open] == '<' ? '>' : '"';
        const auto end = line.find(close, open + 1);
        if (end == std::string::npos) continue;
        found.push_back({file, line.substr(open + 1, end - open - 1), line[open] == '<'});
    }
    return found;
}

std::vector<Include> everyInclude(const fs::path& sourceRoot) {
    std::vector<Include> all;
    for (const auto& entry : fs::recursive_directory_iterator(sourceRoot)) {
        const auto extension = entry.path().extension();
        if (entry.is_regular_file() && (extension == ".h" || extension == ".cpp")) {
            auto found = includesOf(entry.path());
            all.insert(all.end(), found.begin(), found.end());
        }
    }
    return all;
}

std::string folderOf(const fs::path& file, const fs::path& sourceRoot) {
    return fs::relative(file, sourceRoot).begin()->string();
}

bool isToolkitHeader(const std::string& target) {
    return target.rfind("Q", 0) == 0 || target.rfind("qt", 0) == 0 ||
           target.rfind("emscripten", 0) == 0;
}

TEST(Layers, NoIncludePointsUpOrAtAToolkit) {
    const fs::path sourceRoot = fs::path(QUORVEL_SOURCE_DIR) / "src";
    const auto includes = everyInclude(sourceRoot);
    ASSERT_GT(includes.size(), 100u) << "the source tree was not found";

    for (const auto& include : includes) {
        const std::string folder = folderOf(include.file, sourceRoot);
        const auto rule = allowedBelow.find(folder);
        if (rule == allowedBelow.end()) continue;
        const auto where = fs::relative(include.file, sourceRoot).string();
        if (include.angled) {
            EXPECT_FALSE(isToolkitHeader(include.target))
                << where << " includes the toolkit header " << include.target;
            continue;
        }
        const auto slash = include.target.find('/');
        if (slash == std::string::npos) continue;
        const std::string targetFolder = include.target.substr(0, slash);
        EXPECT_TRUE(targetFolder == folder || rule->second.count(targetFolder))
            << where << " includes " << include.target << ", above or beside its layer";
        for (const auto& [from, to] : strangers) {
            EXPECT_FALSE(where.rfind(from + ".", 0) == 0 && include.target.rfind(to + ".", 0) == 0)
                << where << " includes " << include.target;
        }
    }
}

}  // namespace
}  // namespace quorvel
