#pragma once

#include <exception>
#include <string>

namespace padscope {

// What the exception being handled says, for the log line of a thread that
// caught it at its top. Only inside a catch block.
inline std::string currentExceptionText()
{
    try {
        throw;
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "an exception of unknown type";
    }
}

}  // namespace padscope
