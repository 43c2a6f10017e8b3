#include "platform/program_path.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

namespace melvo::platform {
namespace {

struct DirectoryCase {
    const char* path;
    const char* separators;
    const char* directory;
};

class DirectoryOfPathTest : public ::testing::TestWithParam<DirectoryCase> {};

TEST_P(DirectoryOfPathTest, KeepsEverythingUpToTheLastSeparator) {
    EXPECT_EQ(DirectoryOfPath(GetParam().path, GetParam().separators), GetParam().directory);
}

INSTANTIATE_TEST_SUITE_P(Paths, DirectoryOfPathTest,
                         ::testing::Values(DirectoryCase{"C:\\Music\\melvoplay.exe", "\\/", "C:\\Music\\"},
                                           DirectoryCase{"/usr/local/bin/melvoplay", "/", "/usr/local/bin/"},
                                           DirectoryCase{"./mp", "/", "./"}, DirectoryCase{"melvoplay", "/", ""},
                                           DirectoryCase{"mp", "/", ""}, DirectoryCase{"/melvoplay", "/", "/"}));

TEST(ExecutablePath, IsTheRunningTestBinary) {
    const std::string path = ExecutablePath("ignored");
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(access(path.c_str(), X_OK), 0);
    EXPECT_EQ(ProgramDirectory("ignored"), DirectoryOfPath(path, "/"));
}

}  // namespace
}  // namespace melvo::platform
