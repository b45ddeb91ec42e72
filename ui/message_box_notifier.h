#pragma once

#include "core/notifier.h"

#include <QString>

namespace padscope {

// Shows each failure in a modal message box and waits for the user.
class MessageBoxNotifier final : public Notifier {
public:
    void notify(Failure failure, std::string_view detail) override;
};

// A failure as the user reads it, in the interface's language: what went
// wrong, then the detail (such as a file's path) on a line of its own.
QString failureText(Failure failure, std::string_view detail);

}  // namespace padscope
