#include "core/platform/bounded_call.h"

#include "core/synth/audio_log.h"
#include "core/platform/exception_text.h"

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
            // What the task throws goes to the caller still waiting, as a
            // call made in place would; one that gave up finds it in the log.
            try {
                task();
                done->set_value();
            } catch (...) {
                qCWarning(lcAudio, "A bounded call failed: %s", currentExceptionText().c_str());
                done->set_exception(std::current_exception());
            }
        }).detach();
    } catch (const std::system_error&) {
        return false;  // no thread to be had: the task does not run at all
    }
    if (finished.wait_for(limit) != std::future_status::ready)
        return false;
    finished.get();
    return true;
}

}  // namespace padscope
