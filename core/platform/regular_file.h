#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <memory>
#include <streambuf>

namespace padscope {

// A file read only when it is a regular one. Opening a FIFO blocks until a
// writer comes, and a device may never end: in a SoundFont's place either
// would hold the thread that opened it, the window's or the synth's.
class RegularFile {
public:
    enum class Status { Open, Missing, Folder, NotAFile, Unreadable };

    explicit RegularFile(const std::filesystem::path& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    Status status() const { return status_; }
    explicit operator bool() const { return status_ == Status::Open; }
    // Its size when it was opened; 0 when it is not open.
    std::uint64_t size() const { return size_; }
    // Reads and seeks it; fails at once when it is not open.
    std::istream& stream() { return stream_; }

private:
    class Buffer;

    Status status_ = Status::Unreadable;
    std::uint64_t size_ = 0;
    std::unique_ptr<Buffer> buffer_;
    std::istream stream_{nullptr};
};

}  // namespace padscope
