#pragma once

#include "notifier.h"

namespace padscope {

// Shows each failure in a modal message box and waits for the user.
class MessageBoxNotifier final : public Notifier {
public:
    void showMessage(std::string_view text) override;
};

}  // namespace padscope
