#include "settings_file.h"

#include <QFile>
#include <QStandardPaths>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <system_error>

namespace padscope {

namespace fs = std::filesystem;

namespace {

// The program's settings file is a few hundred bytes; anything this big is
// not one and is not worth reading into memory.
constexpr std::uintmax_t kMaxFileSize = 4 * 1024 * 1024;

fs::path toPath(const QString& text)
{
    return fs::path(QFile::encodeName(text).toStdString());
}

// A temporary file created beside the target; removed again unless it has
// been renamed over the target.
struct TemporaryFile {
    explicit TemporaryFile(const fs::path& pattern)
        : name(pattern.string())
    {
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0)
            name.clear();
    }
    ~TemporaryFile()
    {
        if (fd >= 0)
            ::close(fd);
        if (!renamed && !name.empty())
            ::unlink(name.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool close()
    {
        const int result = ::close(fd);
        fd = -1;
        return result == 0;
    }

    std::string name;
    int fd = -1;
    bool renamed = false;
};

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
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool folderAcceptsNewFiles(const fs::path& folder)
{
    // access() also says no on a read-only file system, even to root.
    std::error_code error;
    return fs::is_directory(folder, error) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

SettingsLocation systemSettingsLocation()
{
    return SettingsLocation{
        toPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)),
        folderAcceptsNewFiles,
    };
}

fs::path portableSettingsPath(const fs::path& executable)
{
    std::string name = executable.filename().string();
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    name += ".ini";
    return executable.parent_path() / name;
}

fs::path settingsPath(const fs::path& executable, const SettingsLocation& location)
{
    const fs::path portable = portableSettingsPath(executable);
    std::error_code error;
    const bool portableExists = fs::exists(portable, error);
    const fs::path folder = portable.parent_path().empty() ? fs::path(".") : portable.parent_path();
    if (portableExists || location.configRoot.empty() ||
        (location.canCreateFilesIn && location.canCreateFilesIn(folder)))
        return portable;

    const fs::path configFolder = location.configRoot / kConfigFolderName;
    // If this fails, saving fails too and says so.
    fs::create_directories(configFolder, error);
    return configFolder / kConfigFileName;
}

fs::path settingsPath(const fs::path& executable)
{
    return settingsPath(executable, systemSettingsLocation());
}

IniFile loadSettingsFile(const fs::path& path)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return {};
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size > kMaxFileSize)
        return {};

    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::string text;
    text.reserve(static_cast<std::size_t>(size));
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
        return {};
    return IniFile::parse(text);
}

bool saveSettingsFile(const fs::path& path, const IniFile& file)
{
    std::error_code error;
    fs::path target = path;
    // Write through a symbolic link rather than replace it.
    if (fs::is_symlink(path, error)) {
        target = fs::canonical(path, error);
        if (error)
            return false;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");

    TemporaryFile temp(folder / ("." + target.filename().string() + ".XXXXXX"));
    if (temp.fd < 0)
        return false;

    // Keep the permissions of the file being replaced; a new file gets the
    // usual ones for the user's umask.
    struct stat old {};
    mode_t mode = 0;
    if (::stat(target.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    const std::string text = file.serialize();
    if (!writeAll(temp.fd, text) || ::fchmod(temp.fd, mode) != 0 || ::fsync(temp.fd) != 0 ||
        !temp.close())
        return false;
    if (::rename(temp.name.c_str(), target.c_str()) != 0)
        return false;
    temp.renamed = true;
    syncFolder(folder);
    return true;
}

std::string saveFailedText(const fs::path& path)
{
    std::string text(kSaveFailedMessage);
    text += '\n';
    text += path.string();
    return text;
}

}  // namespace padscope
