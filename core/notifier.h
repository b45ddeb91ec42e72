#pragma once

#include <string_view>

namespace padscope {

// Shows the user a failure. The program's window shows a modal message box;
// tests record the texts instead.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void showMessage(std::string_view text) = 0;
};

inline constexpr std::string_view kNoPortsMessage = "ＭＩＤＩ音源がないのでこのソフトは利用できません";
inline constexpr std::string_view kOpenFailedMessage = "ＭＩＤＩデバイスが開けません";

}  // namespace padscope
