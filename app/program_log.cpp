#include "app/program_log.h"

namespace padscope {

Q_LOGGING_CATEGORY(lcProgram, "padscope.program", QtWarningMsg)

}  // namespace padscope
