#pragma once

namespace padscope {

// Holds a value that is never destroyed: for what a thread may still use
// while the process exits and its static objects are torn down.
template <typename T>
union Immortal {
    T value;
    Immortal() : value() {}
    ~Immortal() {}
};

}  // namespace padscope
