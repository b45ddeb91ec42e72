#include "core/synth/synth_log.h"

namespace padscope {

Q_LOGGING_CATEGORY(lcSynth, "padscope.synth", QtWarningMsg)

}  // namespace padscope
