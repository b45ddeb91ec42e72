#include "core/platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace padscope {

namespace {

RegularFile::Status statusOf(const struct stat& info)
{
    if (S_ISDIR(info.st_mode))
        return RegularFile::Status::Folder;
    return S_ISREG(info.st_mode) ? RegularFile::Status::Open : RegularFile::Status::NotAFile;
}

}  // namespace

// Reads the file by its offset, so that a seek costs no call.
class RegularFile::Buffer final : public std::streambuf {
public:
    Buffer(int fd, std::uint64_t size) : fd_(fd), size_(size), bytes_(64 * 1024) {}
    ~Buffer() override { ::close(fd_); }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

protected:
    int_type underflow() override
    {
        const std::uint64_t next = at_ + static_cast<std::uint64_t>(egptr() - eback());
        ssize_t n;
        do {
            n = ::pread(fd_, bytes_.data(), bytes_.size(), static_cast<off_t>(next));
        } while (n < 0 && errno == EINTR);
        if (n <= 0)
            return traits_type::eof();
        at_ = next;
        setg(bytes_.data(), bytes_.data(), bytes_.data() + n);
        return traits_type::to_int_type(*gptr());
    }

    pos_type seekoff(off_type offset, std::ios::seekdir from, std::ios::openmode) override
    {
        const auto here = static_cast<off_type>(at_) + (gptr() - eback());
        const off_type base = from == std::ios::beg ? 0 : from == std::ios::cur ? here : static_cast<off_type>(size_);
        if (base + offset < 0)
            return pos_type(off_type(-1));
        at_ = static_cast<std::uint64_t>(base + offset);
        setg(bytes_.data(), bytes_.data(), bytes_.data());
        return pos_type(base + offset);
    }

    pos_type seekpos(pos_type position, std::ios::openmode mode) override
    {
        return seekoff(off_type(position), std::ios::beg, mode);
    }

private:
    const int fd_;
    const std::uint64_t size_;
    std::vector<char> bytes_;
    std::uint64_t at_ = 0;  // the file offset of the buffer's first byte
};

RegularFile::RegularFile(const std::filesystem::path& path)
{
    // Looked at before it is opened: opening some devices does something.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        status_ = errno == ENOENT || errno == ENOTDIR || errno == ELOOP ? Status::Missing : Status::Unreadable;
        return;
    }
    if (status_ = statusOf(info); status_ != Status::Open)
        return;
    // The path may have been replaced since: without O_NONBLOCK a FIFO
    // there now would block the opening.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        status_ = errno == ENOENT ? Status::Missing : Status::Unreadable;
        return;
    }
    if (::fstat(fd, &info) != 0 || (status_ = statusOf(info)) != Status::Open) {
        if (status_ == Status::Open)
            status_ = Status::Unreadable;
        ::close(fd);
        return;
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
    buffer_ = std::make_unique<Buffer>(fd, size_);
    stream_.rdbuf(buffer_.get());
}

RegularFile::~RegularFile() = default;

}  // namespace padscope
