#include "file_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>

namespace padscope {

namespace fs = std::filesystem;

namespace {

// Temporary files are named with a short prefix of their own and mkostemp's
// six characters, so the name stays short whatever the settings file is
// called and a left-over one is easy to recognise.
constexpr std::string_view kTemporaryPrefix = ".padscope-save-";
constexpr std::size_t kRandomLength = 6;

struct FileDescriptor {
    explicit FileDescriptor(int descriptor)
        : fd(descriptor)
    {
    }
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    bool close()
    {
        const int result = ::close(fd);
        fd = -1;
        return result == 0;
    }

    int fd;
};

// A temporary file created in the folder and locked for as long as it is
// open, so that another save does not take it for a left-over; removed again
// unless it has been renamed over the target.
struct TemporaryFile {
    explicit TemporaryFile(const fs::path& folder)
        : name((folder / (std::string(kTemporaryPrefix) + std::string(kRandomLength, 'X')))
                   .string())
        , file(::mkostemp(name.data(), O_CLOEXEC))
    {
        if (file.fd < 0) {
            error = errno;
            name.clear();
        } else {
            ::flock(file.fd, LOCK_EX);
        }
    }
    ~TemporaryFile()
    {
        if (!renamed && !name.empty())
            ::unlink(name.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    std::string name;
    FileDescriptor file;
    int error = 0;
    bool renamed = false;
};

bool isRandomTail(std::string_view text)
{
    return text.size() == kRandomLength && std::ranges::all_of(text, [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
           });
}

// The prefix of today's temporary files, or the "." + file name + "." that
// earlier versions used.
bool isOwnTemporaryName(std::string_view name, std::string_view target)
{
    if (name.starts_with(kTemporaryPrefix))
        return isRandomTail(name.substr(kTemporaryPrefix.size()));
    const std::string earlier = "." + std::string(target) + ".";
    return name.starts_with(earlier) && isRandomTail(name.substr(earlier.size()));
}

// A save in progress holds a lock on its temporary file, so one that can be
// locked was left by a save that never finished (a kill, a power cut).
void removeLeftOverTemporaryFiles(const fs::path& folder, std::string_view target)
{
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (!isOwnTemporaryName(it->path().filename().string(), target))
            continue;
        const FileDescriptor file(
            ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat status {};
        if (file.fd >= 0 && ::fstat(file.fd, &status) == 0 && S_ISREG(status.st_mode) &&
            ::flock(file.fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(it->path().c_str());
    }
}

// Every byte or nothing: a short write (a full disk) is a failure.
bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Makes the rename itself durable; a failure here changes nothing for the
// caller, the file is in place either way.
void syncFolder(const fs::path& folder)
{
    const FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd >= 0)
        ::fsync(dir.fd);
}

// Beyond the file-size limit the kernel would kill the program with SIGXFSZ;
// ignored, the write fails with EFBIG and the save reports it.
void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

bool writeInPlace(const fs::path& target, std::string_view bytes)
{
    FileDescriptor file(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    return file.fd >= 0 && ::ftruncate(file.fd, 0) == 0 && writeAll(file.fd, bytes) &&
           ::fsync(file.fd) == 0 && file.close();
}

}  // namespace

fs::path userConfigRoot()
{
    // Relative paths in either variable are to be ignored.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        return config;
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return fs::path(home) / ".config";
    return {};
}

bool folderAcceptsNewFiles(const fs::path& folder)
{
    // access() also says no on a read-only file system, even to root.
    std::error_code error;
    return fs::is_directory(folder, error) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// Hand-written rather than QSaveFile, which was measured to commit a truncated file on a full disk.
bool writeFileDurably(const fs::path& path, std::string_view bytes)
{
    ignoreFileSizeSignal();

    std::error_code error;
    fs::path target = path;
    // Write through a symbolic link rather than replace it.
    if (fs::is_symlink(path, error)) {
        target = fs::canonical(path, error);
        if (error)
            return false;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");

    // A file that the user has made read-only is not replaced. The new file
    // keeps the old one's permission bits, but not its set-user-ID,
    // set-group-ID or sticky bits; a new file gets the usual ones for the
    // user's umask.
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    mode_t mode = old.st_mode & 0777;
    if (!exists) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    removeLeftOverTemporaryFiles(folder, target.filename().string());
    TemporaryFile temp(folder);
    if (temp.file.fd < 0) {
        // A shared install or a read-only mount: the folder takes no new
        // file, but the file itself may still be the user's to write.
        const bool folderRefuses = temp.error == EACCES || temp.error == EPERM || temp.error == EROFS;
        return exists && folderRefuses && writeInPlace(target, bytes);
    }
    // Renamed while still open, so its lock keeps other saves off it.
    if (!writeAll(temp.file.fd, bytes) || ::fchmod(temp.file.fd, mode) != 0 ||
        ::fsync(temp.file.fd) != 0 || ::rename(temp.name.c_str(), target.c_str()) != 0)
        return false;
    temp.renamed = true;
    temp.file.close();
    syncFolder(folder);
    return true;
}

}  // namespace padscope
