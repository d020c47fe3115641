#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

#include "tests/network/TempFolder.h"
#include "export/AtomicFile.h"
#include "export/ExportError.h"

namespace {

TEST(AtomicFile, WritesTheWholeContentAndLeavesNoTemporaryFile)
{
    TempFolder folder;
    const std::string path = folder.Path("out.s2p");
    const std::string content(100000, 'x');
    WriteFileAtomically(path, content);
    EXPECT_EQ(ReadFile(path), content);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.s2p"});
}

TEST(AtomicFile, ReplacesAnOlderLongerFileCompletely)
{
    TempFolder folder;
    const std::string path = folder.Path("net.cir");
    WriteFileAtomically(path, "a much longer first version\nwith two lines\n");
    WriteFileAtomically(path, "short\n");
    EXPECT_EQ(ReadFile(path), "short\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"net.cir"});
}

TEST(AtomicFile, GivesTheUsualPermissions)
{
    TempFolder folder;
    const std::string path = folder.Path("f.txt");
    const mode_t mask = ::umask(022);
    WriteFileAtomically(path, "x");
    ::umask(mask);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

struct BadPathCase {
    const char* name;
    const char* relative; // under the temp folder
    const char* reason;
};

void PrintTo(const BadPathCase& c, std::ostream* os)
{
    *os << c.name;
}

class UnwritablePaths : public ::testing::TestWithParam<BadPathCase> {};

TEST_P(UnwritablePaths, GiveAClearMessageAndLeaveNoFile)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.Path("adir"));
    WriteFileAtomically(folder.Path("afile"), "keep");
    const std::string path = folder.Path(GetParam().relative);
    try {
        WriteFileAtomically(path, "content");
        FAIL() << "no error for " << path;
    } catch (const ExportError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write file '" + path + "': " + GetParam().reason);
    }
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"adir", "afile"}));
    EXPECT_EQ(ReadFile(folder.Path("afile")), "keep");
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path("adir")));
}

INSTANTIATE_TEST_SUITE_P(Cases, UnwritablePaths,
                         ::testing::Values(BadPathCase{"MissingFolder", "no/such/folder/x.s2p",
                                                       "No such file or directory"},
                                           BadPathCase{"TargetIsAFolder", "adir", "Is a directory"},
                                           BadPathCase{"ParentIsAFile", "afile/x.s2p", "Not a directory"},
                                           BadPathCase{"TrailingSlash", "adir/", "Not a directory"},
                                           BadPathCase{"FolderItself", "", "Not a directory"}),
                         [](const ::testing::TestParamInfo<BadPathCase>& info) { return info.param.name; });

} // namespace
