// What the program knows of the audio system, as threads see it.
#include "core/midi/jack_detection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

using namespace padscope;

namespace {

// Checks for leaks now rather than at exit, where the check would hold up
// a report from another thread.
void checkLeaksNow()
{
#if defined(__SANITIZE_ADDRESS__)
    __lsan_do_leak_check();
#endif
}

}  // namespace

// A closing port's worker may still be letting a JACK client go, and so
// ask whether the server is gone, while the process exits. The sanitizer
// build reports any read of what exit has destroyed; the report may come
// too late to change the exit status, so nothing may be written at all.
TEST(JackDetectionDeathTest, JackServerCanBeAskedWhileTheProcessExits)
{
    EXPECT_EXIT(
        {
            checkLeaksNow();
            // Runs after everything made from here on is destroyed: the
            // thread then goes on asking.
            std::atexit([] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
            jackServerGone();
            std::thread([] {
                for (;;)
                    jackServerGone();
            }).detach();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "^$");
}
