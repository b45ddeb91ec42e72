#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace padscope {

// A test's time limit, grown by PADSCOPE_TIME_FACTOR (a whole number, set for
// the sanitizer build, which runs several times slower).
inline std::chrono::milliseconds scaledLimit(std::chrono::milliseconds limit)
{
    const char* factor = std::getenv("PADSCOPE_TIME_FACTOR");
    return limit * std::max(1, factor ? std::atoi(factor) : 1);
}

// Waits until `done` holds or the time (scaled) is up; says whether it holds.
template <typename Done>
bool waitUntil(Done done, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + scaledLimit(timeout);
    while (!done() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

}  // namespace padscope
