#pragma once

#include "core/notifier.h"

#include <vector>

namespace padscope {

// Records the failures the program would tell the user of, in order.
struct RecordingNotifier final : Notifier {
    std::vector<Failure> failures;
    void notify(Failure failure, std::string_view) override { failures.push_back(failure); }
};

}  // namespace padscope
