#include "platform/files.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/test_support.hpp"

namespace melvo::platform {
namespace {

using test::BytesOf;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(RegularFile, OnlyRegularFilesOpen) {
    TempDir dir;
    WriteFile(dir / "song.mvs", BytesOf("abc"));
    EXPECT_TRUE(RegularFile::Open((dir / "song.mvs").string()).has_value());
    EXPECT_FALSE(RegularFile::Open(dir.path().string()).has_value());
    EXPECT_FALSE(RegularFile::Open((dir / "missing").string()).has_value());
    EXPECT_FALSE(RegularFile::Open("").has_value());
}

TEST(RegularFile, PositionedReadsStopAtTheEndAndWritesLengthen) {
    TempDir dir;
    WriteFile(dir / "f", BytesOf("hello"));
    auto file = RegularFile::Open((dir / "f").string(), FileMode::ReadWrite);
    ASSERT_TRUE(file);
    std::array<std::uint8_t, 8> buffer{};
    EXPECT_EQ(file->ReadAt(3, buffer), 2u);
    EXPECT_EQ(buffer[0], 'l');
    const auto tail = BytesOf("XY");
    ASSERT_TRUE(file->WriteAt(8, tail));
    EXPECT_EQ(file->Size(), 10u);
    EXPECT_EQ(ReadFile(dir / "f"), (test::ByteVector{'h', 'e', 'l', 'l', 'o', 0, 0, 0, 'X', 'Y'}));
}

TEST(AtomicFileWriter, TargetChangesOnlyOnCommit) {
    TempDir dir;
    const auto target = dir / "out.mvs";
    WriteFile(target, BytesOf("old"));
    {
        auto writer = AtomicFileWriter::Create(target.string());
        ASSERT_TRUE(writer);
        ASSERT_TRUE(writer->Append(BytesOf("new content")));
        EXPECT_EQ(ReadFile(target), BytesOf("old"));
        // Dropped without Commit: the target stays, the temporary file goes.
    }
    EXPECT_EQ(ReadFile(target), BytesOf("old"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    auto writer = AtomicFileWriter::Create(target.string());
    ASSERT_TRUE(writer);
    ASSERT_TRUE(writer->Append(BytesOf("abcdef")));
    ASSERT_TRUE(writer->WriteAt(1, BytesOf("Z")));
    ASSERT_TRUE(writer->Commit());
    EXPECT_EQ(ReadFile(target), BytesOf("aZcdef"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_NE(info.st_mode & S_IRGRP, 0u) << "written files get the usual permissions, not mkstemp's 0600";
}

TEST(AtomicFileWriter, MissingDirectoryAndDirectoryTargetFail) {
    TempDir dir;
    EXPECT_FALSE(WriteFileAtomically((dir / "no/such/dir/x.mvs").string(), BytesOf("x")));
    std::filesystem::create_directory(dir / "sub");
    EXPECT_FALSE(WriteFileAtomically((dir / "sub").string(), BytesOf("x")));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "sub"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(IsSameFile, ComparesIdentityNotNames) {
    TempDir dir;
    WriteFile(dir / "a", BytesOf("1"));
    WriteFile(dir / "b", BytesOf("1"));
    std::filesystem::create_symlink(dir / "a", dir / "link");
    EXPECT_TRUE(IsSameFile((dir / "a").string(), (dir / "link").string()));
    EXPECT_TRUE(IsSameFile((dir / "a").string(), (dir.path() / "." / "a").string()));
    EXPECT_FALSE(IsSameFile((dir / "a").string(), (dir / "b").string()));
    EXPECT_FALSE(IsSameFile((dir / "a").string(), (dir / "missing").string()));
}

}  // namespace
}  // namespace melvo::platform
