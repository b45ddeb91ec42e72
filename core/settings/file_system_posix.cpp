#include "core/settings/file_system.h"

#include <QFile>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <string>

namespace padscope {

namespace fs = std::filesystem;

namespace {

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

    int fd;
};

// Interrupted saves left their temporary file as ".padscope-save-" or
// "." + file name + ".", followed by mkostemp's six characters.
constexpr std::string_view kTemporaryPrefix = ".padscope-save-";
constexpr std::size_t kRandomLength = 6;

bool isRandomTail(std::string_view text)
{
    return text.size() == kRandomLength && std::ranges::all_of(text, [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
           });
}

bool isLeftOverName(std::string_view name, std::string_view target)
{
    if (name.starts_with(kTemporaryPrefix))
        return isRandomTail(name.substr(kTemporaryPrefix.size()));
    const std::string dotted = "." + std::string(target) + ".";
    return name.starts_with(dotted) && isRandomTail(name.substr(dotted.size()));
}

// A save in progress holds a lock on such a file, so one that can be locked
// was left by a save that never finished (a kill, a power cut).
void removeLeftOverTemporaryFiles(const fs::path& folder, std::string_view target)
{
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (!isLeftOverName(it->path().filename().string(), target))
            continue;
        const FileDescriptor file(
            ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat status {};
        if (file.fd >= 0 && ::fstat(file.fd, &status) == 0 && S_ISREG(status.st_mode) &&
            ::flock(file.fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(it->path().c_str());
    }
}

// Makes the rename itself durable; a failure here changes nothing for the
// caller, the file is in place either way.
void syncFolder(const fs::path& folder)
{
    const FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd >= 0)
        ::fsync(dir.fd);
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

// QSaveFile writes a temporary file and renames it over the old one, through
// a symbolic link, keeping the old file's permission bits, refusing a
// read-only file and writing in place where the folder takes no new file.
// It keeps quiet about a write that did not fit (a full disk) while it
// buffers, and would then commit a truncated file: unbuffered, every write
// is checked here. The rest is what it leaves to its caller.
bool writeFileDurably(const fs::path& path, std::string_view bytes)
{
    // Beyond the file-size limit the kernel would kill the program with
    // SIGXFSZ; ignored, the write fails with EFBIG and the save reports it.
    std::signal(SIGXFSZ, SIG_IGN);

    const QString name = QFile::decodeName(path.c_str());
    // A name that is not valid in the locale's encoding would be saved elsewhere.
    if (QFile::encodeName(name).toStdString() != path.native())
        return false;
    QSaveFile file(name);
    file.setDirectWriteFallback(true);

    // Through a symbolic link, the temporary files lie beside its target.
    std::error_code error;
    fs::path target = fs::canonical(path, error);
    if (error)
        target = path;
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    // A device or a FIFO would be replaced by a plain file, and opening a
    // FIFO would wait for a reader.
    if (exists && !S_ISREG(old.st_mode))
        return false;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    removeLeftOverTemporaryFiles(folder, target.filename().string());

    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        ::fsync(file.handle()) != 0)
        file.cancelWriting();
    // Root saving a user's file leaves it the user's; anyone else cannot give
    // a file away, and the new file stays theirs.
    [[maybe_unused]] const bool ownerKept = exists && ::fchown(file.handle(), old.st_uid, old.st_gid) == 0;
    if (!file.commit())
        return false;
    syncFolder(folder);
    return true;
}

}  // namespace padscope
