#pragma once

#include <chrono>
#include <thread>

namespace padscope {

// Waits until `done` holds or the time is up; says whether it holds.
template <typename Done>
bool waitUntil(Done done, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

}  // namespace padscope
