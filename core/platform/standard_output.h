#pragma once

#include <string>
#include <string_view>

namespace padscope {

// Writes every byte of `text` to the open file `fd`; 0, or the errno of the
// write that failed.
int writeAll(int fd, std::string_view text);

// Writes `text` to standard output. When it cannot (a full disk, a closed
// standard output, a pipe whose reader has gone), says so on standard error
// as "<program>: cannot write standard output: <reason>". The exit status
// to end with: 0, or 1 on failure.
int writeStandardOutput(std::string_view program, std::string_view text);

}  // namespace padscope
