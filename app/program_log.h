#pragma once

#include <QLoggingCategory>

namespace padscope {

// The program's own start-up and shut-down messages.
Q_DECLARE_LOGGING_CATEGORY(lcProgram)

}  // namespace padscope
