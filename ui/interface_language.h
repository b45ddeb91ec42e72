#pragma once

#include <QTranslator>

#include <optional>
#include <string_view>

namespace padscope {

// The language of the windows' captions and messages. Japanese is written in
// the code; English comes from the compiled-in translation.
enum class Language { Japanese, English };

// The language for a code such as "en" or "ja"; nothing for one it does not know.
std::optional<Language> languageFromCode(std::string_view code);
// The code of a language, as the settings file keeps it.
std::string_view languageCode(Language language);

// The language the desktop asks for, from the environment as gettext reads
// it: the messages locale (LC_ALL, else LC_MESSAGES, else LANG), then, unless
// that is C or POSIX, the first Japanese or English entry of LANGUAGE.
// Japanese for a Japanese locale and for C, POSIX or none, whose captions
// have always been Japanese; English for any other.
Language desktopLanguage(std::string_view lcAll, std::string_view lcMessages, std::string_view lang,
                         std::string_view languageList);
// The same, read from the program's environment.
Language desktopLanguage();

// The language the windows use: the command line's, else the one chosen in
// the program before (a code from the settings file, empty for none), else
// the desktop's.
Language interfaceLanguage(std::optional<Language> commandLine, std::string_view remembered, Language desktop);

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
    // The language the windows built meanwhile take.
    Language language() const { return language_; }

private:
    QTranslator translator_;
    Language language_;
    bool installed_ = false;
    bool loaded_ = true;
};

}  // namespace padscope
