#pragma once

#include <QTranslator>

#include <optional>
#include <string_view>

namespace padscope {

// The language of the windows' captions and messages. Japanese is written in
// the code; English comes from the compiled-in translation. Only the command
// line chooses it, never the system's locale.
enum class Language { Japanese, English };

// The language for a code such as "en" or "ja"; nothing for one it does not know.
std::optional<Language> languageFromCode(std::string_view code);

// Puts the translation of `language` in place for as long as it lives, so
// windows built meanwhile take its texts. Japanese needs none. Needs a
// QCoreApplication.
class InterfaceTranslation {
public:
    explicit InterfaceTranslation(Language language);
    ~InterfaceTranslation();
    InterfaceTranslation(const InterfaceTranslation&) = delete;
    InterfaceTranslation& operator=(const InterfaceTranslation&) = delete;

    // False when the translation asked for could not be loaded.
    bool loaded() const { return loaded_; }

private:
    QTranslator translator_;
    bool installed_ = false;
    bool loaded_ = true;
};

}  // namespace padscope
