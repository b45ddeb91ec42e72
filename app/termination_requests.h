#pragma once

#include <functional>
#include <memory>

namespace padscope {

// The system's requests to end the program (the session logging out, Ctrl+C
// in the terminal, the terminal closing), turned into one call of
// `requested` from the event loop, where closing windows and writing files
// are safe. While this lives, such a request no longer ends the process at
// once, and the requests after the first are ignored, so that a second one
// cannot cut the close short. Each platform has its own file behind this.
class TerminationRequests {
public:
    explicit TerminationRequests(std::function<void()> requested);
    ~TerminationRequests();
    TerminationRequests(const TerminationRequests&) = delete;
    TerminationRequests& operator=(const TerminationRequests&) = delete;

private:
    struct Watch;
    std::unique_ptr<Watch> watch_;
};

}  // namespace padscope
