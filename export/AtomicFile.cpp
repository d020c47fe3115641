#include "export/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "export/ExportError.h"

namespace {

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

// mkstemp creates the file private to the owner; give it the mode a plain create would.
void UsualPermissions(int fd)
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
}

} // namespace

void WriteFileAtomically(const std::string& path, const std::string& content)
{
    std::string pattern = path + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) RaiseWriteError(path, errno);
    UsualPermissions(fd);
    const bool written = WriteAll(fd, content) && ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        const int error = written ? errno : writeError;
        ::unlink(name.data());
        RaiseWriteError(path, error);
    }
    if (::rename(name.data(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(name.data());
        RaiseWriteError(path, error);
    }
}
