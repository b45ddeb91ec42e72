#include "ui/interface_language.h"

#include <QCoreApplication>

namespace padscope {

namespace {

// Where qt_add_translations puts the compiled translation.
constexpr auto kEnglishTranslation = ":/i18n/padscope_en.qm";

}  // namespace

std::optional<Language> languageFromCode(std::string_view code)
{
    if (code == "ja")
        return Language::Japanese;
    if (code == "en")
        return Language::English;
    return std::nullopt;
}

InterfaceTranslation::InterfaceTranslation(Language language)
{
    if (language == Language::Japanese)
        return;
    loaded_ = translator_.load(QString::fromLatin1(kEnglishTranslation));
    if (loaded_)
        installed_ = QCoreApplication::installTranslator(&translator_);
}

InterfaceTranslation::~InterfaceTranslation()
{
    if (installed_)
        QCoreApplication::removeTranslator(&translator_);
}

}  // namespace padscope
