#include "core/midi/input_session.h"

#include <algorithm>

namespace padscope {

InputSession::InputSession(MidiInput& input, Notifier& notifier, MidiInput::Receive receive,
                           std::function<void()> closed)
    : input_(input), notifier_(notifier), receive_(std::move(receive)), closed_(std::move(closed)),
      names_(input.portNames())
{
}

int InputSession::openPortIndex() const
{
    if (open_.empty())
        return -1;
    const auto found = std::find(names_.begin(), names_.end(), open_);
    return found == names_.end() ? -1 : static_cast<int>(found - names_.begin());
}

void InputSession::openRemembered(const std::string& name)
{
    if (name.empty())
        return;
    input_.refresh();
    names_ = input_.portNames();
    open_ = name;
    const int index = openPortIndex();
    if (index < 0)
        lost({});
    else if (!input_.open(index, receive_))
        lost(input_.openFailure());
}

void InputSession::refreshPorts()
{
    input_.refresh();
    names_ = input_.portNames();
    if (!open_.empty() && openPortIndex() < 0)
        lost({});
}

void InputSession::choose(int index)
{
    close();
    if (index < 0 || index >= static_cast<int>(names_.size()))
        return;
    open_ = names_[static_cast<std::size_t>(index)];
    if (!input_.open(index, receive_))
        lost(input_.openFailure());
}

void InputSession::close()
{
    if (open_.empty())
        return;
    input_.close();
    open_.clear();
    if (closed_)
        closed_();
}

void InputSession::lost(std::string reason)
{
    close();
    notifier_.report({Failure::InputGone, {}, std::move(reason)});
}

}  // namespace padscope
