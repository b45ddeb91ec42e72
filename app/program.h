#pragma once

#include <chrono>
#include <functional>

namespace padscope {

struct ProgramOptions {
    // How the GS Reset waits are spent; a real sleep in the program.
    std::function<void(std::chrono::milliseconds)> sleep;
    // Leave the event loop as soon as the main window is first shown
    // (for start-up measurements).
    bool quitWhenShown = false;
    // Called once the main window is first shown (for start-up measurements).
    std::function<void()> shown;
};

// Start-up, the event loop and shut-down of the whole program. Needs a
// QApplication.
int runProgram(const ProgramOptions& options);

}  // namespace padscope
