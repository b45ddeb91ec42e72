#pragma once

#include <fstream>
#include <string>
#include <string_view>

// A "VmHWM:   1234 kB" line of /proc/self/status, in kB; -1 if missing.
inline long statusKilobytes(std::string_view key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with(key) && line.size() > key.size() && line[key.size()] == ':')
            return std::stol(line.substr(key.size() + 1));
    return -1;
}
