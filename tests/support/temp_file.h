#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace padscope::test {

// A file that exists only for the length of a test.
class TempFile {
public:
    explicit TempFile(const std::string& contents, const std::string& prefix = "padscope-synth-")
        : path_(std::filesystem::temp_directory_path()
                / (prefix + std::to_string(::getpid()) + "-" + std::to_string(counter_++) + ".sf2"))
    {
        std::ofstream(path_, std::ios::binary) << contents;
    }
    ~TempFile() { std::filesystem::remove(path_); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    static inline int counter_ = 0;
    std::filesystem::path path_;
};

}  // namespace padscope::test
