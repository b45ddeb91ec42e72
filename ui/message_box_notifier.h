#pragma once

#include "notifier.h"

#include <QString>

namespace padscope {

// Shows each failure in a modal message box and waits for the user.
class MessageBoxNotifier final : public Notifier {
public:
    void showMessage(std::string_view text) override;
};

// A message of the core as the user reads it: each line in the interface's
// language. Lines without a translation, such as a file's path, stay as
// they are.
QString shownMessage(std::string_view text);

}  // namespace padscope
