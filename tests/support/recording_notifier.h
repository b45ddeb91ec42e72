#pragma once

#include "core/failure.h"

#include <vector>

namespace padscope {

// Records the failures the program would tell the user of, in order.
struct RecordingNotifier final : Notifier {
    std::vector<Failure> failures;
    std::vector<FailureReport> reports;
    void report(FailureReport failure) override
    {
        failures.push_back(failure.failure);
        reports.push_back(std::move(failure));
    }
};

}  // namespace padscope
