#include "core/platform/standard_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace padscope {

int writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

int writeStandardOutput(std::string_view program, std::string_view text)
{
    const int error = writeAll(STDOUT_FILENO, text);
    if (error == 0)
        return 0;
    std::fprintf(stderr, "%.*s: cannot write standard output: %s\n", static_cast<int>(program.size()),
                 program.data(), std::strerror(error));
    return 1;
}

}  // namespace padscope
