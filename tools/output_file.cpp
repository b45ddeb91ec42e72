#include "tools/output_file.h"

#include "core/platform/standard_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace padscope {

namespace fs = std::filesystem;

namespace {

// As many links as the kernel follows before it calls it a loop.
constexpr int kMaxLinks = 40;

// The file that a write to `path` lands in, as open() finds it: through
// every symbolic link, also one that names a file not made yet. 0, or the
// errno of the step that failed (ELOOP for a loop of links).
int followLinks(fs::path path, fs::path& target)
{
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error))) {
            target = path;
            return 0;
        }
        const fs::path next = fs::read_symlink(path, error);
        if (error)
            return error.value();
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return ELOOP;
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
    fs::path target;
    if (const int error = followLinks(path, target))
        return error;
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        // A device or a FIFO keeps nothing that a cut write could destroy.
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        return fd < 0 ? errno : closeAfter(fd, writeAll(fd, text));
    }
    // A file its owner made read-only stays as it is, as with a shell's ">".
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return errno;
    // A short name, as the file's own may already be as long as a name can be.
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temporary = (folder / ".padscope-drumtable-XXXXXX").string();
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
