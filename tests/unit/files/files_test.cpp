#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include "files/files.h"
#include "tests/common/scratch_folder.h"

namespace krv {
namespace {

using test::ScratchFolder;
using Bytes = ScratchFolder::Bytes;

TEST(FileIo, SizeByPathIsMinusOneForWhatCannotBeOpened) {
    ScratchFolder dir;
    EXPECT_EQ(FileSizeAt(dir.Write("seven", Bytes(7, 1))), 7);
    EXPECT_EQ(FileSizeAt(dir.Write("empty", {})), 0);
    EXPECT_EQ(FileSizeAt(dir.Path("missing")), -1);
    EXPECT_EQ(FileSizeAt(dir.Path("")), -1);  // the folder itself
    EXPECT_TRUE(DeleteFileAt(dir.Path("seven")));
    EXPECT_FALSE(DeleteFileAt(dir.Path("seven")));
}

// Readers see the old file whole until the new one is committed; a replacement given up
// leaves the target and nothing beside it.
TEST(ReplacementFile, TakesThePlaceOfTheTargetOnlyWhenCommitted) {
    ScratchFolder dir;
    const std::u16string target = dir.Write("t.bin", Bytes{'o', 'l', 'd'});
    {
        ReplacementFile abandoned(target);
        ASSERT_TRUE(abandoned.IsOpen());
        ASSERT_TRUE(abandoned.file().Write("half", 4));
    }
    EXPECT_EQ(ScratchFolder::Read(target), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.SystemPath("")), {}), 1);

    ReplacementFile replacement(target);
    ASSERT_TRUE(replacement.file().Write("new!", 4));
    EXPECT_EQ(ScratchFolder::Read(target), (Bytes{'o', 'l', 'd'}));
    ASSERT_TRUE(replacement.Commit());
    EXPECT_EQ(ScratchFolder::Read(target), (Bytes{'n', 'e', 'w', '!'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.SystemPath("")), {}), 1);
}

// A file held without sharing cannot be opened again or replaced, in this process as on
// Windows; once it is closed, readers may open it again.
TEST(File, HeldWithoutSharingIsOpenToNobodyElse) {
    ScratchFolder dir;
    const std::u16string path = dir.Write("held.bin", Bytes(3, 7));
    File held = File::OpenForReading(path, File::Sharing::None);
    ASSERT_TRUE(held.IsOpen());
    EXPECT_FALSE(File::OpenForReading(path, File::Sharing::Readers).IsOpen());
    EXPECT_FALSE(File::OpenForReading(path, File::Sharing::None).IsOpen());
    EXPECT_FALSE(WriteWholeFile(path, "x", 1)) << "a held file cannot be replaced";
    held.Close();
    EXPECT_TRUE(File::OpenForReading(path, File::Sharing::Readers).IsOpen());
    EXPECT_EQ(ReadWholeFile(path, 2), (Bytes{7, 7})) << "at most the limit is read";
}

#ifndef _WIN32
// A file written anew keeps the permissions the user gave it; a new one gets the usual ones.
TEST(ReplacementFile, KeepsThePermissionsOfTheFileItReplaces) {
    namespace fs = std::filesystem;
    ScratchFolder dir;
    const std::u16string path = dir.Write("kept.bin", Bytes{1});
    const std::string system = dir.SystemPath("kept.bin");
    fs::permissions(system, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(WriteWholeFile(path, "2", 1));
    EXPECT_EQ(fs::status(system).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(WriteWholeFile(dir.Path("new.bin"), "3", 1));
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(fs::status(dir.SystemPath("new.bin")).permissions(),
              static_cast<fs::perms>(0666 & ~mask));
}
#endif

}  // namespace
}  // namespace krv
