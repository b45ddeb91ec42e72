#pragma once

#include "ui/main_window.h"
#include "tests/support/recording_output.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace padscope::test {

// A main window on a recording MIDI output, with nothing shown on screen.
class WindowFixture : public ::testing::Test {
protected:
    std::vector<RecordingOutput::Port> ports{{"Module A", true}, {"Module B", true}, {"Module C", true}};
    Settings saved;
    RecordingOutput output;
    RecordingNotifier notifier;
    Notifier* failures = &notifier;  // where the window reports
    PortSession::Sleep sleep = [](std::chrono::milliseconds) {};
    std::vector<Settings> savedAtClose;
    std::vector<std::pair<QUrl, QWidget*>> openedLinks;
    SynthFontServices synthFonts;
    Language language = Language::Japanese;  // the one the windows are built in
    std::unique_ptr<MainWindow> window;

    void start()
    {
        output.ports() = ports;
        output.refresh();
        window = std::make_unique<MainWindow>(MainWindowServices{
            output, *failures, sleep,
            [this](const QUrl& url, QWidget* owner) { openedLinks.emplace_back(url, owner); }, saved,
            [this](const Settings& s) { savedAtClose.push_back(s); }, synthFonts, language});
    }

    template <typename T = QWidget>
    T* find(const QString& name) const
    {
        auto* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QPushButton* pad(int k) const { return find<QPushButton>(QStringLiteral("Button%1").arg(k)); }
    QPushButton* button(int n) const { return pad(n); }
    QString labelText(int n) const { return find<QLabel>(QStringLiteral("Label%1").arg(n))->text(); }
    QRadioButton* radio(int n) const { return find<QRadioButton>(QStringLiteral("RadioButton%1").arg(n)); }

    std::vector<std::uint32_t> sent() const { return output.shortWords(); }
    void forget() { output.clearEvents(); }
};

// Short messages as a MIDI monitor shows them: "B9 4E 40, C9 00, ...".
inline std::string midiBytes(const std::vector<std::uint32_t>& words)
{
    std::string text;
    for (const std::uint32_t w : words) {
        if (!text.empty())
            text += ", ";
        const int length = (w & 0xE0) == 0xC0 ? 2 : 3;  // Program Change and Channel Pressure: one data byte
        for (int i = 0; i < length; ++i) {
            char byte[4];
            std::snprintf(byte, sizeof byte, i == 0 ? "%02X" : " %02X", static_cast<unsigned>(w >> (8 * i) & 0xFF));
            text += byte;
        }
    }
    return text;
}

// A caption as the user reads it ("&&" is how a button shows one "&").
inline std::string shownCaption(const QPushButton* b)
{
    return b->text().replace(QStringLiteral("&&"), QStringLiteral("&")).toStdString();
}

}  // namespace padscope::test
