// SPDX-License-Identifier: Apache-2.0
#include "export/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "export/ExportError.h"

namespace corvane {

namespace {

// As many links as the kernel follows in one lookup before it reports a loop.
constexpr int kMaxLinks = 40;

[[noreturn]] void RaiseWriteError(const std::string& path, int error)
{
    throw ExportError("Cannot write file '" + path + "': " + std::strerror(error));
}

bool WriteAll(int fd, const std::string& content)
{
    const char* data = content.data();
    size_t left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

// Closes fd after a write; the first error of the two wins.
void FinishWrite(int fd, bool written, const std::string& path)
{
    int error = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) RaiseWriteError(path, error);
}

std::string ReadLink(const std::string& link, const std::string& path)
{
    std::vector<char> target(256);
    for (;;) {
        const ssize_t length = ::readlink(link.c_str(), target.data(), target.size());
        if (length < 0) RaiseWriteError(path, errno);
        // A target that fills the buffer may have been cut short.
        if (static_cast<size_t>(length) < target.size()) return std::string(target.data(), static_cast<size_t>(length));
        target.resize(target.size() * 2);
    }
}

// The path that a chain of symbolic links ends at, which need not exist yet: a link to a
// missing file creates that file. A relative target is relative to its link's folder.
std::string FollowLinks(const std::string& path)
{
    std::string current = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        const std::filesystem::path target(ReadLink(current, path));
        current =
            target.is_absolute() ? target.string() : (std::filesystem::path(current).parent_path() / target).string();
    }
    RaiseWriteError(path, ELOOP);
}

// 0 when the user may write the existing file, else the reason. access(2) answers for the
// effective ids, as open(2) would; it lets the superuser write any file, so a mode without
// a single write bit refuses as well, as a mark that the file is meant to stay as it is.
int WriteRefusal(const std::string& target, const struct stat& info)
{
    if ((info.st_mode & 0222) == 0) return EACCES;
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return errno;
    return 0;
}

// mkstemp creates the file private to the owner; give it the mode a plain create would.
void UsualPermissions(int fd)
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
}

// Gives the new file the old one's owner and mode. Only the superuser may give a file away,
// so anyone else cannot replace a file of another user without changing its owner.
bool KeepOwnerAndMode(int fd, const struct stat& old)
{
    struct stat fresh {};
    if (::fstat(fd, &fresh) != 0) return false;
    if ((fresh.st_uid != old.st_uid || fresh.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    // fchown clears the set-user and set-group bits, so the mode is set after it.
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// A FIFO or a device takes the content as it comes (opening a FIFO waits for its reader);
// a regular file is truncated and rewritten.
void WriteInPlace(const std::string& target, const std::string& path, const std::string& content)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) RaiseWriteError(path, errno);
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    // fsync fails on a FIFO or a terminal, which hold nothing to flush to a disk.
    FinishWrite(fd, WriteAll(fd, content) && (!regular || ::fsync(fd) == 0), path);
}

void WriteStandardOutput(const std::string& content)
{
    // What the program has already put out through its streams comes first.
    std::cout.flush();
    std::fflush(stdout);
    if (!WriteAll(STDOUT_FILENO, content)) RaiseWriteError("-", errno);
}

// Whether the file is the one open as standard output, whatever name reaches it (/dev/stdout,
// or the file the shell redirected to): replacing it would cut off what is written there later.
bool IsStandardOutput(const struct stat& info)
{
    struct stat out {};
    return ::fstat(STDOUT_FILENO, &out) == 0 && out.st_dev == info.st_dev && out.st_ino == info.st_ino;
}

// Writes a temporary file beside the target and renames it over the target; old is the
// target's status when it exists.
void ReplaceFile(const std::string& target, const std::string& path, const std::string& content, const struct stat* old)
{
    std::string pattern = target + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) RaiseWriteError(path, errno);
    if (old == nullptr) {
        UsualPermissions(fd);
    } else if (!KeepOwnerAndMode(fd, *old)) {
        ::close(fd);
        ::unlink(name.data());
        WriteInPlace(target, path, content);
        return;
    }
    try {
        FinishWrite(fd, WriteAll(fd, content) && ::fsync(fd) == 0, path);
    } catch (const ExportError&) {
        ::unlink(name.data());
        throw;
    }
    if (::rename(name.data(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(name.data());
        RaiseWriteError(path, error);
    }
}

} // namespace

void WriteFileAtomically(const std::string& path, const std::string& content)
{
    if (path == "-") {
        WriteStandardOutput(content);
        return;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) RaiseWriteError(path, errno);
        ReplaceFile(FollowLinks(path), path, content, nullptr);
        return;
    }
    if (IsStandardOutput(info)) {
        WriteStandardOutput(content);
        return;
    }
    if (S_ISDIR(info.st_mode)) RaiseWriteError(path, EISDIR);
    if (const int refusal = WriteRefusal(path, info)) RaiseWriteError(path, refusal);
    // Opened through its own name, so that links such as /dev/stderr reach what they stand for.
    if (!S_ISREG(info.st_mode)) {
        WriteInPlace(path, path, content);
        return;
    }
    ReplaceFile(FollowLinks(path), path, content, &info);
}

} // namespace corvane
