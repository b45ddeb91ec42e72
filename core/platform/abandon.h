#pragma once

#include <memory>

namespace padscope {

// Gives up an object without destroying it: a JACK client whose server has
// gone or hung, or what a JACK call that never returned still uses. Kept on
// purpose, so LeakSanitizer does not report it.
void markAbandoned(const void* object);
template <typename T, typename Deleter>
void abandon(std::unique_ptr<T, Deleter>& owner)
{
    markAbandoned(owner.release());
}

}  // namespace padscope
