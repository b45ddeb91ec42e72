#pragma once

#include <QLoggingCategory>

namespace padscope {

// The built-in synth's messages, and FluidSynth's.
Q_DECLARE_LOGGING_CATEGORY(lcSynth)

}  // namespace padscope
