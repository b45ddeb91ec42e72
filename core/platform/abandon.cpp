#include "core/platform/abandon.h"

#if defined(__SANITIZE_ADDRESS__)
#define PADSCOPE_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PADSCOPE_LSAN 1
#endif
#endif
#if defined(PADSCOPE_LSAN)
#include <sanitizer/lsan_interface.h>
#endif

namespace padscope {

void markAbandoned([[maybe_unused]] const void* object)
{
#if defined(PADSCOPE_LSAN)
    if (object)
        __lsan_ignore_object(object);
#endif
}

}  // namespace padscope
