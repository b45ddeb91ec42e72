#pragma once

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

namespace padscope::test {

// Gives this thread, and every thread and child it starts from now on, the
// locked-memory allowance of a desktop user: Debian's 8 MiB limit, and
// without root's CAP_IPC_LOCK, which would lift any limit. JACK's clients
// lock their shared memory, so whatever else the process locks can keep
// them off the server for a user while root never notices.
inline bool limitMemoryLockingAsForADesktopUser()
{
    constexpr rlim_t kDesktopLimit = 8 << 20;
    rlimit limit{};
    if (getrlimit(RLIMIT_MEMLOCK, &limit) != 0)
        return false;
    limit.rlim_cur = std::min(limit.rlim_cur, kDesktopLimit);
    if (setrlimit(RLIMIT_MEMLOCK, &limit) != 0)
        return false;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct caps[_LINUX_CAPABILITY_U32S_3]{};
    if (syscall(SYS_capget, &header, caps) != 0)
        return false;
    caps[CAP_TO_INDEX(CAP_IPC_LOCK)].effective &= ~CAP_TO_MASK(CAP_IPC_LOCK);
    caps[CAP_TO_INDEX(CAP_IPC_LOCK)].permitted &= ~CAP_TO_MASK(CAP_IPC_LOCK);
    caps[CAP_TO_INDEX(CAP_IPC_LOCK)].inheritable &= ~CAP_TO_MASK(CAP_IPC_LOCK);
    return syscall(SYS_capset, &header, caps) == 0;
}

}  // namespace padscope::test
