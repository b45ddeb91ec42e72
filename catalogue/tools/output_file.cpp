#include "catalogue/tools/output_file.h"

#include "core/standard_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace padscope {

namespace fs = std::filesystem;

namespace {

// The file that a symbolic link names; the path itself otherwise, or when
// the link leads nowhere.
fs::path resolvedTarget(const fs::path& path)
{
    std::error_code error;
    if (!fs::is_symlink(path, error))
        return path;
    fs::path target = fs::canonical(path, error);
    return error ? path : target;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Closes `fd`; the first error of the write and the close.
int closeAfter(int fd, int writeError)
{
    const int closeError = ::close(fd) == 0 ? 0 : errno;
    return writeError ? writeError : closeError;
}

}  // namespace

int replaceFile(const fs::path& path, std::string_view text)
{
    const fs::path target = resolvedTarget(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        // A device or a FIFO keeps nothing that a cut write could destroy.
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        return fd < 0 ? errno : closeAfter(fd, writeAll(fd, text));
    }
    std::string temporary = target.string() + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = ::fchmod(fd, exists ? old.st_mode & 07777 : newFileMode()) == 0 ? 0 : errno;
    if (!error)
        error = writeAll(fd, text);
    if (!error && ::fsync(fd) != 0)
        error = errno;
    error = closeAfter(fd, error);
    if (!error && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error)
        ::unlink(temporary.c_str());
    return error;
}

}  // namespace padscope
