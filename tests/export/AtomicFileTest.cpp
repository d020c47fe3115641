// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/TempFolder.h"
#include "export/AtomicFile.h"
#include "export/ExportError.h"

using namespace corvane;

namespace {

mode_t ModeOf(const std::string& path)
{
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// The error text of one write, or "" when it succeeded.
std::string WriteError(const std::string& path, const std::string& content)
{
    try {
        WriteFileAtomically(path, content);
    } catch (const ExportError& e) {
        return e.what();
    }
    return "";
}

// A new file: the whole content, the mode a plain create gives, no temporary file left.
TEST(AtomicFile, CreatesANewFile)
{
    TempFolder folder;
    const std::string path = folder.Path("out.s2p");
    const std::string content(100000, 'x');
    const mode_t mask = ::umask(022);
    WriteFileAtomically(path, content);
    ::umask(mask);
    EXPECT_EQ(ReadFile(path), content);
    EXPECT_EQ(ModeOf(path), 0644u);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.s2p"});
}

TEST(AtomicFile, ReplacesAnOlderLongerFileKeepingItsMode)
{
    TempFolder folder;
    const std::string path = folder.Path("net.cir");
    WriteFileAtomically(path, "a much longer first version\nwith two lines\n");
    ::chmod(path.c_str(), 0600);
    WriteFileAtomically(path, "short\n");
    EXPECT_EQ(ReadFile(path), "short\n");
    EXPECT_EQ(ModeOf(path), 0600u);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"net.cir"});
}

TEST(AtomicFile, WritesThroughSymbolicLinks)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.Path("sub"));
    WriteFileAtomically(folder.Path("sub/real.s2p"), "old\n");
    // Relative targets are found from the link's folder; the second link names a missing file.
    std::filesystem::create_symlink("sub/real.s2p", folder.Path("link.s2p"));
    std::filesystem::create_symlink("sub/made.cir", folder.Path("new.cir"));
    WriteFileAtomically(folder.Path("link.s2p"), "new\n");
    WriteFileAtomically(folder.Path("new.cir"), "made\n");
    EXPECT_EQ(ReadFile(folder.Path("sub/real.s2p")), "new\n");
    EXPECT_EQ(ReadFile(folder.Path("sub/made.cir")), "made\n");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Path("link.s2p")));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Path("new.cir")));
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"link.s2p", "new.cir", "sub"}));
}

TEST(AtomicFile, WritesIntoAFifoWithoutReplacingIt)
{
    TempFolder folder;
    const std::string path = folder.Path("pipe");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    // Opened for reading first, so that nothing waits to open; poll reports a hang-up only
    // after a writer has come and gone, and times out if none comes.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    std::string received;
    std::thread reader([fd, &received] {
        pollfd watch{fd, POLLIN, 0};
        char buffer[4096];
        ssize_t n = 0;
        while (::poll(&watch, 1, 10000) > 0 && ((n = ::read(fd, buffer, sizeof buffer)) > 0 || n < 0))
            if (n > 0) received.append(buffer, static_cast<size_t>(n));
    });
    const std::string content(200000, 'y'); // more than the pipe holds at once
    EXPECT_EQ(WriteError(path, content), "");
    reader.join();
    ::close(fd);
    EXPECT_TRUE(received == content) << received.size() << " bytes";
    EXPECT_EQ(std::filesystem::status(path).type(), std::filesystem::file_type::fifo);
}

TEST(AtomicFile, DashIsStandardOutput)
{
    TempFolder folder;
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    const int fd = ::open(folder.Path("out").c_str(), O_WRONLY | O_CREAT, 0600);
    ::dup2(fd, STDOUT_FILENO);
    ::close(fd);
    // Replacing the file behind /dev/stdout would lose what comes after.
    std::string error = WriteError("-", "to standard output\n");
    error += WriteError("/dev/stdout", "and on\n");
    std::printf("after\n");
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    EXPECT_EQ(error, "");
    EXPECT_EQ(ReadFile(folder.Path("out")), "to standard output\nand on\nafter\n");
    EXPECT_FALSE(std::filesystem::exists("-"));
}

TEST(AtomicFile, FailedWriteLeavesTheOldFileWhole)
{
    TempFolder folder;
    const std::string path = folder.Path("big.s2p");
    WriteFileAtomically(path, "old\n");
    // A file size limit makes the write fail part-way, as a full disk would.
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    const std::string error = WriteError(path, std::string(100000, 'z'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(error, "Cannot write file '" + path + "': File too large");
    EXPECT_EQ(ReadFile(path), "old\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"big.s2p"});
}

// The superuser gives the new file the old one's owner; anyone else, who cannot, writes the
// file in place rather than leave it with a new owner.
TEST(AtomicFile, KeepsTheOwner)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to own files as other users";
    constexpr uid_t kNobody = 65534;
    TempFolder folder;
    ::chmod(folder.Path("").c_str(), 0777);
    const std::string path = folder.Path("shared.cir");
    WriteFileAtomically(path, "old\n");
    ::chmod(path.c_str(), 0666);
    ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    WriteFileAtomically(path, "by root\n");
    struct stat info {};
    ::stat(path.c_str(), &info);
    EXPECT_EQ(info.st_uid, kNobody);
    ASSERT_EQ(::chown(path.c_str(), 0, 0), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(1);
        // The temporary folder may lie inside a folder that only its owner can enter.
        if (::access(folder.Path("").c_str(), W_OK | X_OK) != 0) ::_exit(2);
        ::_exit(WriteError(path, "by nobody\n").empty() ? 0 : 1);
    }
    int status = 1;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2) GTEST_SKIP() << "the temporary folder is private to its owner";
    EXPECT_EQ(status, 0);
    ::stat(path.c_str(), &info);
    EXPECT_EQ(info.st_uid, 0u);
    EXPECT_EQ(ReadFile(path), "by nobody\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"shared.cir"});
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
    // Read-only by its mode alone, so that the superuser, whom access(2) lets write anything, is refused too.
    ::chmod(folder.Path("afile").c_str(), 0444);
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
                                           BadPathCase{"ReadOnlyFile", "afile", "Permission denied"},
                                           BadPathCase{"ParentIsAFile", "afile/x.s2p", "Not a directory"},
                                           BadPathCase{"TrailingSlash", "adir/", "Is a directory"},
                                           BadPathCase{"FolderItself", "", "Is a directory"}),
                         [](const ::testing::TestParamInfo<BadPathCase>& info) { return info.param.name; });

} // namespace
