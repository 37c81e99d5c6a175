#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "io/ScrambledFile.h"
#include "support/AssemblerTestSupport.h"

namespace quorvel {
namespace {

using test::RecordingMessages;
using test::scrambled;
using test::ScratchFolder;

const std::vector<std::string> untouched = {"keep me"};

TEST(LoadScrambledList, SplitsThePayloadAtEveryKindOfLineBreak) {
    struct Case {
        const char* name;
        std::string payload;
        std::vector<std::string> lines;
    } cases[] = {
        {"crlf", "a\r\nb\r\n", {"a", "b"}},
        {"cr and lf", "a\rb\nc", {"a", "b", "c"}},
        {"cr then crlf", "a\r\r\nb", {"a", "", "b"}},
        {"lf then cr", "a\n\rb", {"a", "", "b"}},
        {"one empty line", "\r\n", {""}},
        {"no break", "abc", {"abc"}},
        {"bytes pass", std::string("\x00\xff\xe9~\r\n", 6), {std::string("\x00\xff\xe9~", 4)}},
    };
    ScratchFolder folder;
    for (const Case& c : cases) {
        folder.write("f.dat",
                     scrambled("NeWe\r" + std::to_string(c.payload.size()) + "\r" + c.payload));
        std::vector<std::string> lines = untouched;
        EXPECT_TRUE(loadScrambledList(folder.path("f.dat"), lines)) << c.name;
        EXPECT_EQ(lines, c.lines) << c.name;
    }
}

TEST(LoadScrambledList, HeaderRulesAndBadInput) {
    const std::string body = "x\r\ny\r\n";
    struct Case {
        const char* name;
        std::string file;  // unscrambled
        bool loads;
    } cases[] = {
        {"other magic still loads", "Abcd\r6\rx\r\ny\r\n", true},
        {"empty magic loads", "\r6\r" + body, true},
        {"length short of the payload", "NeWe\r3\rx\r\ny\r\n", false},
        {"payload short of the length", "NeWe\r7\rx\r\ny\r\n", false},
        {"length zero", "NeWe\r0\r" + body, false},
        {"negative length", "NeWe\r-6\r" + body, false},
        {"length not a number", "NeWe\rsix\r" + body, false},
        {"length with blank", "NeWe\r 6\r" + body, false},
        {"huge length", "NeWe\r2147483647\r" + body, false},
        {"length beyond int", "NeWe\r99999999999999999999\r" + body, false},
        {"no second carriage return", "NeWe\r6", false},
        {"only the magic", "NeWe\r", false},
        {"no carriage return at all", "NeWe", false},
        {"empty file", "", false},
    };
    ScratchFolder folder;
    for (const Case& c : cases) {
        folder.write("f.dat", scrambled(c.file));
        std::vector<std::string> lines = untouched;
        EXPECT_EQ(loadScrambledList(folder.path("f.dat"), lines), c.loads) << c.name;
        if (!c.loads) {
            EXPECT_TRUE(lines.empty()) << c.name;
        }
    }
}

TEST(ReadScrambledList, TellsDamageFromAnEmptyFileAndKeepsTheLinesInFrontOfIt) {
    struct Case {
        const char* name;
        std::string file;  // unscrambled
        ListFile result;
        std::vector<std::string> lines;
    } cases[] = {
        {"an empty list as saved", "NeWe\r0\r", ListFile::empty, {}},
        {"length zero with bytes after it", "NeWe\r0\rx\r\n", ListFile::damaged, {}},
        {"last byte missing", "NeWe\r9\rab\r\ncd\r\nef\r", ListFile::damaged, {"ab", "cd"}},
        {"cut inside a line", "NeWe\r9\rab\r\ncd", ListFile::damaged, {"ab"}},
        {"a digit of the length lost",
         "NeWe\r8\rab\r\ncd\r\nef\r\n",
         ListFile::damaged,
         {"ab", "cd"}},
        {"flipped header", "NeWe\r1x\rab\r\n", ListFile::damaged, {}},
        {"whole", "NeWe\r4\rab\r\n", ListFile::loaded, {"ab"}},
    };
    ScratchFolder folder;
    for (const Case& c : cases) {
        folder.write("f.dat", scrambled(c.file));
        std::vector<std::string> lines = untouched;
        EXPECT_EQ(readScrambledList(folder.path("f.dat"), lines), c.result) << c.name;
        EXPECT_EQ(lines, c.lines) << c.name;
    }
    std::vector<std::string> lines;
    EXPECT_EQ(readScrambledList(folder.path("none.dat"), lines), ListFile::missing);
    ASSERT_EQ(::mkfifo(folder.path("fifo.dat").c_str(), 0600), 0);
    // Would block for ever if the reader opened it.
    EXPECT_EQ(readScrambledList(folder.path("fifo.dat"), lines), ListFile::notRegular);
    EXPECT_TRUE(isSpecialFile(folder.path("fifo.dat")));
    EXPECT_FALSE(isSpecialFile(folder.path("f.dat")));
    Bitmap picture;
    EXPECT_FALSE(loadScrambledPicture(folder.path("fifo.dat"), picture));
    EXPECT_EQ(scrambledFileProblem(folder.path("fifo.dat")), "fifo.dat is not a regular file");
    EXPECT_EQ(pictureFileProblem(folder.path("fifo.dat")), "fifo.dat is not a regular file");
}

TEST(LoadScrambledList, MissingFileLeavesTheListAndADirectoryEmptiesIt) {
    ScratchFolder folder;
    std::vector<std::string> lines = untouched;
    EXPECT_FALSE(loadScrambledList(folder.path("missing.dat"), lines));
    EXPECT_EQ(lines, untouched);

    std::filesystem::create_directory(folder.path("dir.dat"));
    EXPECT_FALSE(loadScrambledList(folder.path("dir.dat"), lines));
    EXPECT_TRUE(lines.empty());
}

TEST(SaveScrambledList, RoundTripsAndWritesTheDocumentedBytes) {
    ScratchFolder folder;
    std::vector<std::string> lines = {"first~", "", "last \xe9"};
    ASSERT_TRUE(saveScrambledList(folder.path("s.dat"), lines));
    EXPECT_EQ(folder.read("s.dat"), scrambled("NeWe\r18\rfirst~\r\n\r\nlast \xe9\r\n"));
    std::vector<std::string> loaded;
    ASSERT_TRUE(loadScrambledList(folder.path("s.dat"), loaded));
    EXPECT_EQ(loaded, lines);
    EXPECT_FALSE(std::filesystem::exists(folder.path("s.dat.new")));
}

TEST(SaveScrambledList, AFailedWriteKeepsTheOldFile) {
    ScratchFolder folder;
    ASSERT_TRUE(saveScrambledList(folder.path("s.dat"), {"old"}));
    // The temporary name is taken by a folder, so the new file cannot be written.
    std::filesystem::create_directory(folder.path("s.dat.new"));
    EXPECT_FALSE(saveScrambledList(folder.path("s.dat"), {"new"}));
    std::vector<std::string> loaded;
    ASSERT_TRUE(loadScrambledList(folder.path("s.dat"), loaded));
    EXPECT_EQ(loaded, std::vector<std::string>{"old"});

    EXPECT_FALSE(saveScrambledList(folder.path("no/such/folder/s.dat"), {"x"}));
    // The target itself is a folder: the rename fails and the temporary file goes.
    std::filesystem::create_directory(folder.path("d.dat"));
    std::filesystem::create_directory(folder.path("d.dat/inside"));
    EXPECT_FALSE(saveScrambledList(folder.path("d.dat"), {"x"}));
    EXPECT_FALSE(std::filesystem::exists(folder.path("d.dat.new")));
}

TEST(SaveScrambledList, KeepsThePermissionsAndWritesThroughALink) {
    namespace fs = std::filesystem;
    ScratchFolder folder;
    ASSERT_TRUE(saveScrambledList(folder.path("ro.dat"), {"old"}));
    ::chmod(folder.path("ro.dat").c_str(), 0444);
    ASSERT_TRUE(saveScrambledList(folder.path("ro.dat"), {"new"}));
    struct stat info {};
    ASSERT_EQ(::stat(folder.path("ro.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);

    fs::create_directory(folder.path("real"));
    ASSERT_TRUE(saveScrambledList(folder.path("real/t.dat"), {"old"}));
    fs::create_symlink("real/t.dat", folder.path("link.dat"));
    ASSERT_TRUE(saveScrambledList(folder.path("link.dat"), {"through"}));
    EXPECT_TRUE(fs::is_symlink(folder.path("link.dat")));
    std::vector<std::string> lines;
    ASSERT_TRUE(loadScrambledList(folder.path("real/t.dat"), lines));
    EXPECT_EQ(lines, std::vector<std::string>{"through"});
}

TEST(SetFileAside, NeverOverwritesAnEarlierOne) {
    ScratchFolder folder;
    for (const char* expected : {"r.dat.damaged", "r.dat.damaged-2", "r.dat.damaged-3"}) {
        folder.write("r.dat", expected);
        EXPECT_EQ(setFileAside(folder.path("r.dat")), folder.path(expected));
        EXPECT_FALSE(std::filesystem::exists(folder.path("r.dat")));
    }
    EXPECT_EQ(folder.read("r.dat.damaged"), "r.dat.damaged");
    EXPECT_EQ(folder.read("r.dat.damaged-2"), "r.dat.damaged-2");
    EXPECT_EQ(setFileAside(folder.path("none.dat")), "");
}

TEST(ScrambleFileCopy, ScramblesEveryByteOrReportsOneMessage) {
    ScratchFolder folder;
    std::string bytes("\x00\x01\xa7\xff png", 8);
    folder.write("in.png", bytes);
    RecordingMessages messages;
    scrambleFileCopy(folder.path("in.png"), folder.path("out.dat"), messages);
    EXPECT_EQ(messages.count(), 0u);
    EXPECT_EQ(folder.read("out.dat"), scrambled(bytes));

    struct Case {
        const char* name;
        std::string source;
        std::string destination;
        const char* message;
    } cases[] = {
        {"missing source", folder.path("none"), folder.path("o1"), "Error: Loading File"},
        {"source is a folder", folder.path(""), folder.path("o2"), "Error: Loading File"},
        {"destination folder missing", folder.path("in.png"), folder.path("no/o3"),
         "Error: OutStream"},
    };
    for (const Case& c : cases) {
        RecordingMessages failed;
        scrambleFileCopy(c.source, c.destination, failed);
        EXPECT_EQ(failed.errors, std::vector<std::string>{c.message}) << c.name;
    }
    // A missing source leaves an existing destination alone.
    RecordingMessages failed;
    scrambleFileCopy(folder.path("none"), folder.path("out.dat"), failed);
    EXPECT_EQ(folder.read("out.dat"), scrambled(bytes));
}

TEST(Pictures, PngRoundTripAndScrambledLoad) {
    ScratchFolder folder;
    Bitmap picture(3, 2, {10, 20, 30});
    picture.setPixel(2, 1, {255, 0, 7});
    ASSERT_TRUE(savePng(folder.path("p.png"), picture));

    RecordingMessages messages;
    scrambleFileCopy(folder.path("p.png"), folder.path("p.dat"), messages);
    Bitmap loaded;
    ASSERT_TRUE(loadScrambledPicture(folder.path("p.dat"), loaded));
    EXPECT_EQ(loaded, picture);

    // Not scrambled, not a PNG, truncated, missing: the picture stays as it was.
    std::string png = folder.read("p.png");
    const Bitmap before(1, 1, {1, 2, 3});
    for (const std::string& file :
         {png, std::string("not a png"), scrambled(png.substr(0, 40)), std::string()}) {
        folder.write("bad.dat", file);
        Bitmap kept = before;
        EXPECT_FALSE(loadScrambledPicture(folder.path("bad.dat"), kept));
        EXPECT_EQ(kept, before);
    }
    Bitmap kept = before;
    EXPECT_FALSE(loadScrambledPicture(folder.path("missing.dat"), kept));
    EXPECT_FALSE(loadScrambledPicture(folder.path(""), kept));
    EXPECT_EQ(kept, before);
}

TEST(Pictures, HeaderClaimingAHugePictureIsRefusedBeforeDecoding) {
    ScratchFolder folder;
    ASSERT_TRUE(savePng(folder.path("p.png"), Bitmap(2, 2)));
    std::string png = folder.read("p.png");
    // Width and height live at bytes 16..23 of the IHDR chunk; the CRC then no longer
    // matches either, but the size check must not depend on that.
    for (int i = 16; i < 24; ++i) png[i] = '\x7f';
    std::vector<unsigned char> bytes(png.begin(), png.end());
    Bitmap picture;
    EXPECT_FALSE(decodePng(bytes, picture));
    EXPECT_TRUE(picture.empty());
}

}  // namespace
}  // namespace quorvel
