#pragma once

#include <string>

namespace padscope {

// Whether a server listens on the Unix socket at `path`. Never blocks: a
// server that is stopped still has its connection queued by the kernel.
bool socketAnswers(const std::string& path);

}  // namespace padscope
