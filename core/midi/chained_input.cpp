#include "core/midi/chained_input.h"

namespace padscope {

std::vector<std::string> ChainedInput::portNames() const
{
    std::vector<std::string> names;
    for (const auto& input : inputs_) {
        auto more = input->portNames();
        names.insert(names.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    }
    return names;
}

void ChainedInput::refresh()
{
    for (const auto& input : inputs_)
        input->refresh();
}

bool ChainedInput::open(int index, Receive receive)
{
    close();
    failedOpen_.clear();
    for (const auto& input : inputs_) {
        const int count = static_cast<int>(input->portNames().size());
        if (index < count) {
            if (index < 0)
                return false;
            if (!input->open(index, std::move(receive))) {
                failedOpen_ = input->openFailure();
                return false;
            }
            open_ = input.get();
            return true;
        }
        index -= count;
    }
    return false;
}

void ChainedInput::close()
{
    if (open_)
        open_->close();
    open_ = nullptr;
}

void ChainedInput::setThru(bool on)
{
    for (const auto& input : inputs_)
        input->setThru(on);
}

void ChainedInput::deliverPending()
{
    if (open_)
        open_->deliverPending();
}

}  // namespace padscope
