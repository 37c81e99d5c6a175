#include <gtest/gtest.h>

#include <filesystem>

#include "panel/StorageFolder.h"
#include "support/AssemblerTestSupport.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

TEST(StorageFolder, StaysBesideAWritableProgram) {
    test::ScratchFolder program;
    const StorageFolder storage(program.path(""), program.path("user"));
    EXPECT_FALSE(storage.usesUserFolder());
    EXPECT_EQ(storage.writePath("cce73.ini"), program.path("") + "/cce73.ini");
    EXPECT_FALSE(fs::exists(program.path("user"))) << "the user folder is not made needlessly";
}

TEST(StorageFolder, MovesToTheUserFolderWhenTheProgramFolderIsReadOnly) {
    test::ScratchFolder program;
    const std::string user = program.path("home/data/quorvel");
    const StorageFolder storage(program.path(""), user, false);
    ASSERT_TRUE(storage.usesUserFolder());

    // a first start reads what the program came with
    program.write("cce73.ini", "shipped");
    EXPECT_EQ(storage.readPath("cce73.ini"), program.path("") + "/cce73.ini");

    const std::string written = storage.writePath("cce73.ini");
    EXPECT_EQ(written, user + "/cce73.ini");
    EXPECT_TRUE(fs::is_directory(user)) << "writing makes the folder";
    program.write("home/data/quorvel/cce73.ini", "own");
    EXPECT_EQ(storage.readPath("cce73.ini"), written) << "later starts read their own file";
    EXPECT_EQ(storage.readPath("pf73.dat"), program.path("") + "/pf73.dat");
}

TEST(StorageFolder, WithoutAUserFolderEverythingStaysBesideTheProgram) {
    const StorageFolder storage("/no/such/folder", "", false);
    EXPECT_FALSE(storage.usesUserFolder());
    EXPECT_EQ(storage.writePath("pf73.dat"), "/no/such/folder/pf73.dat");
}

TEST(StorageFolder, WritabilityIsTriedAndLeavesNothingBehind) {
    test::ScratchFolder program;
    EXPECT_TRUE(folderIsWritable(program.path("")));
    EXPECT_TRUE(fs::is_empty(program.path("")));
    EXPECT_FALSE(folderIsWritable(program.path("missing")));
    program.write("file", "x");
    EXPECT_FALSE(folderIsWritable(program.path("file")));
    EXPECT_TRUE(StorageFolder(program.path("file"), program.path("user")).usesUserFolder());
}

}  // namespace
}  // namespace quorvel
