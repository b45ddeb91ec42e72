#pragma once

#include "core/midi/controllers.h"
#include "core/settings/drum_edits.h"

#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QPushButton;
class QScrollBar;
class QTimer;

namespace padscope {

class AuditionThrottle;
class ClickLabel;

// What the drum sound page needs from the window.
struct DrumSoundServices {
    std::function<void(int note)> play;     // a press of the note, with its edits
    std::function<void(int note)> release;  // its note-off
    std::function<ControllerValues()> controllers;
};

// The "ドラム音" page, TabSheet3: the per-note sound of the pad that has the
// focus or was pressed last, as the modules take it by NRPN (pitch, level,
// pan, reverb, chorus, delay or variation send). A parameter starts
// "unchanged" and is never sent until the user moves it. Moving one plays
// the note, at most once per 50 ms, the last position always.
class DrumSoundPage final : public QWidget {
    Q_OBJECT
public:
    DrumSoundPage(DrumSoundServices services, DrumEdits edits, QWidget* parent = nullptr);

    // The map and kit the window shows, and the note the page is about.
    void showKit(int map, int program);
    void showNote(int note);
    // A parameter set from outside, as an incoming NRPN does: the page turns
    // to the note.
    void takeEdit(int note, DrumParameter parameter, int value);

    const DrumEdits& edits() const { return edits_; }
    int note() const { return note_; }

    QScrollBar* bar(DrumParameter parameter) const { return rows_[parameterIndex(parameter)].bar; }
    QLabel* valueLabel(DrumParameter parameter) const { return rows_[parameterIndex(parameter)].value; }
    QLabel* noteLabel() const { return noteLabel_; }

    // The set-up of the shown kit as a Standard MIDI File; false when the
    // file cannot be written.
    bool saveMidiFile(const QString& path) const;
    // The same set-up as text, one message a line in hex.
    QString midiEventsText() const;

    void resetNote();
    void resetKit();
    void saveMidiFileAs();
    void copyMidiEvents();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        ClickLabel* caption = nullptr;
        QLabel* value = nullptr;
        QScrollBar* bar = nullptr;
    };
    void userMoved(std::size_t index, int position);
    void setUnchanged(std::size_t index);
    void showValues();
    void showValueLabel(std::size_t index);
    void audition();

    DrumSoundServices services_;
    DrumEdits edits_;
    int map_ = 4;
    int program_ = 0;
    int note_ = 36;
    bool showing_ = false;  // set while the page moves its own bars
    std::array<Row, kDrumParameterCount> rows_{};
    QLabel* noteLabel_ = nullptr;
    AuditionThrottle* throttle_ = nullptr;
    QTimer* releaseTimer_ = nullptr;
    int sounding_ = -1;  // the note an audition left sounding
};

}  // namespace padscope
