#include "core/bounded_call.h"

#include <future>
#include <memory>
#include <system_error>
#include <thread>

namespace padscope {

bool runBounded(std::function<void()> task, std::chrono::milliseconds limit)
{
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    try {
        std::thread([task = std::move(task), done] {
            task();
            done->set_value();
        }).detach();
    } catch (const std::system_error&) {
        return false;  // no thread to be had: the task does not run at all
    }
    return finished.wait_for(limit) == std::future_status::ready;
}

}  // namespace padscope
