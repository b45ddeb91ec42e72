#include "ui/interface_language.h"

#include <QCoreApplication>

#include <cstdlib>

namespace padscope {

namespace {

// Where qt_add_translations puts the compiled translation.
constexpr auto kEnglishTranslation = ":/i18n/padscope_en.qm";

// "ja_JP.UTF-8", "ja" and "ja_JP@euc" are Japanese; "jam" is not.
bool isLanguage(std::string_view locale, std::string_view code)
{
    return locale.starts_with(code)
           && (locale.size() == code.size() || locale[code.size()] == '_' || locale[code.size()] == '.'
               || locale[code.size()] == '@');
}

std::string_view environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string_view(value) : std::string_view();
}

}  // namespace

std::optional<Language> languageFromCode(std::string_view code)
{
    if (code == "ja")
        return Language::Japanese;
    if (code == "en")
        return Language::English;
    return std::nullopt;
}

std::string_view languageCode(Language language)
{
    return language == Language::English ? "en" : "ja";
}

Language desktopLanguage(std::string_view lcAll, std::string_view lcMessages, std::string_view lang,
                         std::string_view languageList)
{
    const std::string_view locale = !lcAll.empty() ? lcAll : !lcMessages.empty() ? lcMessages : lang;
    if (locale.empty() || locale == "C" || locale == "POSIX" || isLanguage(locale, "C"))
        return Language::Japanese;
    while (!languageList.empty()) {
        const std::size_t end = languageList.find(':');
        const std::string_view entry = languageList.substr(0, end);
        if (isLanguage(entry, "ja"))
            return Language::Japanese;
        if (isLanguage(entry, "en"))
            return Language::English;
        languageList = end == std::string_view::npos ? std::string_view() : languageList.substr(end + 1);
    }
    return isLanguage(locale, "ja") ? Language::Japanese : Language::English;
}

Language desktopLanguage()
{
    return desktopLanguage(environment("LC_ALL"), environment("LC_MESSAGES"), environment("LANG"),
                           environment("LANGUAGE"));
}

Language interfaceLanguage(std::optional<Language> commandLine, std::string_view remembered, Language desktop)
{
    if (commandLine)
        return *commandLine;
    if (const std::optional<Language> chosen = languageFromCode(remembered))
        return *chosen;
    return desktop;
}

InterfaceTranslation::InterfaceTranslation(Language language) : language_(language)
{
    if (language == Language::Japanese)
        return;
    loaded_ = translator_.load(QString::fromLatin1(kEnglishTranslation));
    if (loaded_)
        installed_ = QCoreApplication::installTranslator(&translator_);
    else
        language_ = Language::Japanese;
}

InterfaceTranslation::~InterfaceTranslation()
{
    if (installed_)
        QCoreApplication::removeTranslator(&translator_);
}

}  // namespace padscope
