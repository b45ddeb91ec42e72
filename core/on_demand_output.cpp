#include "on_demand_output.h"

#include <algorithm>
#include <iterator>
#include <system_error>

namespace padscope {

OnDemandOutput::OnDemandOutput(std::string portName, Factory make)
    : SinglePortOutput(std::move(portName)), make_(std::move(make))
{
}

OnDemandOutput::~OnDemandOutput()
{
    if (maker_.valid())
        maker_.wait();
    const std::lock_guard lock(mutex_);
    if (backend_)
        backend_->close();
}

bool OnDemandOutput::open(int index)
{
    close();
    if (index != 0)
        return false;
    if (!maker_.valid()) {
        try {
            maker_ = std::async(std::launch::async, [this] { make(); });
        } catch (const std::system_error&) {
            make();  // no thread to be had: made here, at once
        }
    }
    open_ = true;
    forward({Call::Kind::Open, {}});
    return true;
}

bool OnDemandOutput::openFailedLate() const
{
    const std::lock_guard lock(mutex_);
    return open_ && (failed_ || (backend_ && backend_->openFailedLate()));
}

void OnDemandOutput::setAudioFailureHandler(AudioFailureHandler handler)
{
    const std::lock_guard lock(mutex_);
    failureHandler_ = std::move(handler);
    if (backend_)
        backend_->setAudioFailureHandler(failureHandler_);
}

void OnDemandOutput::close()
{
    if (!open_)
        return;
    open_ = false;
    forward({Call::Kind::Close, {}});
}

void OnDemandOutput::send(std::span<const std::uint8_t> message)
{
    if (open_)
        forward({Call::Kind::Message, MidiMessage(message)});
}

void OnDemandOutput::forward(Call call)
{
    const std::lock_guard lock(mutex_);
    if (!made_)
        pending_.push_back(std::move(call));
    else
        apply(call);
}

void OnDemandOutput::apply(const Call& call)
{
    if (!backend_) {
        failed_ = true;
        return;
    }
    switch (call.kind) {
    case Call::Kind::Open:
        failed_ = !backend_->open(0);
        break;
    case Call::Kind::Close:
        backend_->close();
        failed_ = false;
        break;
    case Call::Kind::Message:
        backend_->send(call.message);
        break;
    }
}

void OnDemandOutput::make()
{
    std::unique_ptr<MidiOutput> backend = make_();
    const std::lock_guard lock(mutex_);
    backend_ = std::move(backend);
    made_ = true;
    if (backend_ && failureHandler_)
        backend_->setAudioFailureHandler(failureHandler_);
    // What went to an opening that was closed again (the first start-up
    // opens, closes and reopens) need not be played: only the last opening
    // is, and none when the port was closed after it.
    const auto lastOpen = std::find_if(pending_.rbegin(), pending_.rend(),
                                       [](const Call& call) { return call.kind == Call::Kind::Open; });
    const auto from = lastOpen == pending_.rend() ? pending_.end() : std::prev(lastOpen.base());
    const bool closedAgain = std::any_of(from, pending_.end(),
                                         [](const Call& call) { return call.kind == Call::Kind::Close; });
    if (!closedAgain)
        for (auto call = from; call != pending_.end(); ++call)
            apply(*call);
    pending_.clear();
}

}  // namespace padscope
