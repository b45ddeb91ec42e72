#pragma once

#include <QString>

#include <string_view>

namespace padscope {

// The program keeps its fixed texts as UTF-8 string_views; Qt wants QString.
inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace padscope
