#include "ui/main_window.h"

#include "ui/about_box.h"
#include "ui/controller_page.h"
#include "ui/drum_sound_page.h"
#include "catalogue/drum_names.h"
#include "ui/find_dialog.h"
#include "ui/fonts.h"
#include "core/midi/input_session.h"
#include "ui/key_release_filter.h"
#include "ui/kit_select_button.h"
#include "catalogue/kits.h"
#include "ui/link_label.h"
#include "ui/manual_window.h"
#include "core/midi/incoming_route.h"
#include "ui/pad_button.h"
#include "ui/pad_page.h"
#include "ui/placed_label.h"
#include "ui/port_menu.h"
#include "core/midi/press_messages.h"
#include "ui/program_icon.h"
#include "ui/version_text.h"
#include "core/settings/window_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTabWidget>

#include <vector>

namespace padscope {

namespace {

QLabel* addLabel(QWidget* parent, int number, const QString& text, int left, int top)
{
    return placeLabel(new QLabel(text, parent), QStringLiteral("Label%1").arg(number), {left, top});
}

}  // namespace

MainWindow::MainWindow(MainWindowServices services)
    : services_(std::move(services)), session_(services_.output, services_.notifier, services_.sleep),
      thru_(services_.saved.thru), chosenLanguage_(services_.saved.language)
{
    buildWindow();
    // Told on the output's own thread; shown on this one.
    services_.output.setPortFailureHandler([this](Failure failure, const std::string& reason) {
        QMetaObject::invokeMethod(this, [this, failure, reason] { portFailed(failure, reason); }, Qt::QueuedConnection);
    });
    startUp();
    // The about box is created right after the main window, hidden.
    aboutBox_ = std::make_unique<AboutBox>(this, services_.openLink, [this] { showManual(); });
    connect(versionLabel_, &LinkLabel::clicked, aboutBox_.get(), &AboutBox::showFromVersionLabel);
}

MainWindow::~MainWindow()
{
    services_.output.setPortFailureHandler({});
    // Nothing more may arrive once the route is gone.
    if (input_)
        input_->close();
}

void MainWindow::buildWindow()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Padscope"));
    setWindowIcon(QIcon(programPixmap()));
    setFont(uiFont(12));

    // Panel1 lies under the page control, which covers it.
    auto* rule = new QFrame(this);
    rule->setObjectName(QStringLiteral("Panel1"));
    rule->setFrameShape(QFrame::NoFrame);
    rule->setAutoFillBackground(true);
    rule->setBackgroundRole(QPalette::Mid);
    rule->setGeometry(16, 225, 761, 2);
    // Never seen, but a screen reader lists it among the window's parts.
    rule->setAccessibleName(tr("区切り線"));

    pageControl_ = new QTabWidget(this);
    pageControl_->setObjectName(QStringLiteral("PageControl1"));
    pageControl_->setGeometry(0, 0, 801, 473);
    // It takes the focus with its tab bar, and a screen reader names both.
    pageControl_->setAccessibleName(tr("ページ"));
    padPage_ = new PadPage;
    controllers_ = new ControllerPage;
    pageControl_->addTab(padPage_, tr("楽器"));
    pageControl_->addTab(controllers_, tr("エフェクト"));
    buildDrumSoundPage();
    buildKitButtons();
    buildStatusStrip();
    connectPads();

    connect(padPage_->portButton(), &QPushButton::clicked, this, &MainWindow::changePort);
    // Its right click lists the ports.
    portMenu_ = new PortMenu(padPage_->portButton(), session_, [this](int index) { choosePort(index); });
    portMenu_->setFind([this] { openFind(); });
    portMenu_->setHelp([this] { showManual(); });
    portMenu_->setLanguages({[this] { return languageFromCode(chosenLanguage_).value_or(services_.language); },
                             [this](Language language) { chooseLanguage(language); }});
    synthFonts_ = new SynthFontChoice(this, services_.synthFonts, services_.saved.soundFont, session_,
                                      services_.notifier, kitButtons_, [this](int index) { choosePort(index); });
    if (!services_.synthFonts.portName.empty())
        portMenu_->setSynth({services_.synthFonts.portName, [this] { return synthFonts_->fontNames(); },
                             [this] { synthFonts_->openDialog(); }});
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, &MainWindow::openFind);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, &MainWindow::showManual);
    for (const DrumMap& map : kDrumMaps) {
        QRadioButton* button = controllers_->mapButton(map.index);
        connect(button, &QRadioButton::toggled, this,
                [this, index = map.index](bool checked) { mapButtonToggled(index, checked); });
    }

    // Focus: the kit buttons, then the page control.
    QWidget* previous = kitButtons_.front();
    for (std::size_t i = 1; i < kitButtons_.size(); ++i) {
        setTabOrder(previous, kitButtons_[i]);
        previous = kitButtons_[i];
    }
    setTabOrder(previous, pageControl_);
    // The first kit button has the focus when the window first shows.
    kitButtons_.front()->setFocus();
}

void MainWindow::buildDrumSoundPage()
{
    drumSound_ = new DrumSoundPage(
        {[this](int note) {
             currentNote_ = note;
             playCurrentNote();
         },
         [this](int note) { session_.send(releaseMessage(note)); }, [this] { return controllers_->values(); }},
        services_.saved.drumEdits);
    pageControl_->addTab(drumSound_, tr("ドラム音"));
    // The page follows the pad with the focus.
    connect(qApp, &QApplication::focusChanged, drumSound_, [this](QWidget*, QWidget* now) {
        if (auto* pad = qobject_cast<PadButton*>(now); pad && pad->window() == this)
            drumSound_->showNote(pad->note());
    });
}

void MainWindow::buildKitButtons()
{
    for (std::size_t i = 0; i < kKitButtons.size(); ++i) {
        const KitButton& kit = kKitButtons[i];
        auto* button = new KitSelectButton(literalCaption(QString::fromUtf8(kit.caption)), this);
        button->setObjectName(QStringLiteral("Button%1").arg(kit.button));
        button->setGeometry(24 + 104 * (kit.column - 1), 488 + 16 * (kit.row - 1), 105, 17);
        // The current kit's button shows checked (selectKit keeps it so).
        button->setCheckable(true);
        connect(button, &QPushButton::clicked, this, [this, p = kit.program] { selectKit(p); });
        connect(button, &KitSelectButton::characterTyped, this, [this, p = kit.program] { selectKit(p); });
        kitButtons_[i] = button;
    }
}

void MainWindow::buildStatusStrip()
{
    addLabel(this, 1, tr("音源名"), 16, 576);
    deviceLabel_ = addLabel(this, 2, QString(), 56, 576);
    addLabel(this, 73, tr("マップ="), 264, 576);
    mapLabel_ = addLabel(this, 74, QString(), 304, 576);
    addLabel(this, 50, tr("プログラムナンバー＝"), 16, 592);
    programLabel_ = addLabel(this, 49, QString(), 132, 592);
    addLabel(this, 51, tr("音名＝"), 168, 592);
    soundLabel_ = addLabel(this, 52, QString(), 216, 592);
    versionLabel_ = new LinkLabel(QString::fromUtf8(kVersionLabelText), this);
    placeLabel(versionLabel_, QStringLiteral("Label48"), {448, 592});
}

void MainWindow::connectPads()
{
    for (PadButton* pad : padPage_->pads()) {
        const int note = pad->note();
        connect(pad, &PadButton::mouseDown, this, [this, note] {
            currentNote_ = note;
            playCurrentNote();
        });
        connect(pad, &PadButton::mouseUp, this, &MainWindow::stopCurrentNote);
        connect(pad, &PadButton::keyDown, this, [this, note] {
            currentNote_ = note;
            keyPlayCurrentNote();
        });
        connect(pad, &PadButton::keyUp, this, [this] {
            keyHeld_ = false;
            stopCurrentNote();
        });
    }
}

void MainWindow::setLabel(QLabel* label, const QString& text)
{
    label->setText(text);
    label->adjustSize();
}

void MainWindow::setOuterGeometry(int left, int top, int width, int height)
{
    // The settings hold the outer frame; Qt sizes the client area, so take
    // the frame off. Before the window is shown the frame is not known yet:
    // showEvent applies the size again once it is.
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    const int extraWidth = frame.width() - client.width();
    const int extraHeight = frame.height() - client.height();
    resize(std::max(1, width - extraWidth), std::max(1, height - extraHeight));
    move(left, top);
}

void MainWindow::startUp()
{
    session_.countPorts();
    const Settings& saved = services_.saved;
    applySavedGeometry();
    currentMap_ = findMap(saved.map) ? saved.map : kDefaultMap;
    session_.openRemembered(saved.deviceIndex, saved.deviceName);
    setLabel(deviceLabel_, QString::fromStdString(session_.portName()));
    synthFonts_->showWhatSounds();

    currentProgram_ = 0;
    refreshPads();
    showProgramNumber();
    showCheckedKit();
    // Checking the map's radio button runs its click behaviour.
    const DrumMap* map = findMap(currentMap_);
    controllers_->mapButton(map->index)->setChecked(true);
    setLabel(mapLabel_, QString::fromUtf8(map->name));
    updateKitButtons();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Only the first showing: later ones keep where the user put the window.
    if (!shown_) {
        shown_ = true;
        applySavedGeometry();
    }
}

bool MainWindow::event(QEvent* event)
{
    // A window manager reports the frame only after it has framed the
    // window. Once it has, size the window again so the outer frame matches
    // what was saved; otherwise every run would grow it by the frame.
    if (!frameSettled_ && isVisible() && frameGeometry().size() != size()
        && (event->type() == QEvent::Move || event->type() == QEvent::Resize
            || event->type() == QEvent::WindowActivate)) {
        frameSettled_ = true;
        applySavedGeometry();
    }
    return QWidget::event(event);
}

void MainWindow::applySavedGeometry()
{
    // Whatever the file says, the window opens usable and on a screen: a
    // huge saved size would take gigabytes, a far-off position overflows, a
    // tiny or off-screen window could not be found to be moved.
    const Settings& saved = services_.saved;
    const Settings defaults;
    std::vector<WindowFrame> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->geometry();
        const WindowFrame frame{area.x(), area.y(), area.width(), area.height()};
        if (screen == QGuiApplication::primaryScreen())
            screens.insert(screens.begin(), frame);
        else
            screens.push_back(frame);
    }
    const WindowFrame frame = placeWindow({saved.left, saved.top, saved.width, saved.height},
                                          {defaults.left, defaults.top, defaults.width, defaults.height}, screens);
    setOuterGeometry(frame.left, frame.top, frame.width, frame.height);
}

Settings MainWindow::currentSettings() const
{
    Settings s = services_.saved;
    const QRect frame = frameGeometry();
    s.left = frame.x();
    s.top = frame.y();
    s.width = frame.width();
    s.height = frame.height();
    s.deviceIndex = session_.portIndex();
    s.map = currentMap_;
    s.deviceName = session_.portName();
    if (input_)
        s.inputName = input_->portName();
    s.thru = thru_;
    s.soundFont = synthFonts_->chosen();
    s.language = chosenLanguage_;
    s.drumEdits = drumSound_->edits();
    return s;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    shutDown();
    QWidget::closeEvent(event);
}

void MainWindow::shutDown()
{
    if (closed_)
        return;
    closed_ = true;
    // A key that went up just before the close still stops its note.
    padPage_->releaseFilter()->flush();
    // Taken while the input is still open: closing it forgets its name.
    const Settings settings = currentSettings();
    if (input_)
        input_->close();
    session_.close();
    if (services_.saveSettings)
        services_.saveSettings(settings);
    if (aboutBox_)
        aboutBox_->hide();
    if (findDialog_)
        findDialog_->hide();
    if (manual_)
        manual_->hide();
}

void MainWindow::playCurrentNote()
{
    const PressMessages words =
        pressMessages(controllers_->values(), currentNote_, currentProgram_, currentMap_);
    // One unit: nothing Thru passes on comes between, and on JACK it leaves
    // in one cycle.
    session_.beginUnit();
    for (std::size_t i = 0; i < kMessagesBeforeStatus; ++i)
        session_.send(words[i]);
    setLabel(programLabel_, QString::number(currentProgram_ + 1));
    setLabel(soundLabel_, QString::fromUtf8(drumName(currentProgram_, currentNote_, currentMap_)));
    drumSound_->showNote(currentNote_);
    // The Program Change above has put the kit back to its defaults.
    if (const NoteEdit* edit = drumSound_->edits().find(currentMap_, currentProgram_, currentNote_))
        for (const MidiMessage& message : drumSoundMessages(*edit, currentNote_, currentMap_))
            session_.send(message);
    for (std::size_t i = kMessagesBeforeStatus; i < words.size(); ++i)
        session_.send(words[i]);
    session_.endUnit();
}

void MainWindow::stopCurrentNote()
{
    session_.send(releaseMessage(currentNote_));
}

void MainWindow::keyPlayCurrentNote()
{
    if (keyHeld_)
        return;
    keyHeld_ = true;
    playCurrentNote();
}

void MainWindow::refreshPads()
{
    if (!watching_)
        session_.send(programChangeMessage(currentProgram_));
    for (PadButton* pad : padPage_->pads())
        pad->setText(literalCaption(QString::fromUtf8(drumName(currentProgram_, pad->note(), currentMap_))));
    drumSound_->showKit(currentMap_, currentProgram_);
}

void MainWindow::showProgramNumber()
{
    setLabel(programLabel_, QString::number(currentProgram_ + 1));
}

void MainWindow::updateKitButtons()
{
    if (!findMap(currentMap_))
        return;
    for (std::size_t i = 0; i < kKitButtons.size(); ++i)
        kitButtons_[i]->setEnabled(kKitButtons[i].enabledInMap[static_cast<std::size_t>(currentMap_)]);
}

void MainWindow::selectKit(int program)
{
    currentProgram_ = program;
    refreshPads();
    showProgramNumber();
    showCheckedKit();
}

void MainWindow::showCheckedKit()
{
    // Also after a click on the checked button, which unchecks it.
    for (std::size_t i = 0; i < kKitButtons.size(); ++i)
        kitButtons_[i]->setChecked(kKitButtons[i].program == currentProgram_);
}

void MainWindow::mapButtonToggled(int map, bool checked)
{
    // Only the button being checked acts; the one being unchecked does nothing.
    if (!checked)
        return;
    currentMap_ = map;
    refreshPads();
    updateKitButtons();
    setLabel(mapLabel_, QString::fromUtf8(findMap(map)->name));
}

void MainWindow::changePort()
{
    // The notes Thru started end on the port they sound on.
    if (route_)
        route_->endThruNotes();
    session_.changePort();
    setLabel(deviceLabel_, QString::fromStdString(session_.portName()));
    synthFonts_->showWhatSounds();
}

void MainWindow::choosePort(int index)
{
    if (route_)
        route_->endThruNotes();
    session_.choosePort(index);
    setLabel(deviceLabel_, QString::fromStdString(session_.portName()));
    synthFonts_->showWhatSounds();
}

void MainWindow::openFind()
{
    if (!findDialog_) {
        findDialog_ = new FindDialog(this);
        connect(findDialog_, &FindDialog::chosen, this, &MainWindow::showFound);
    }
    findDialog_->showForSearch();
}

void MainWindow::showManual()
{
    if (!manual_)
        manual_ = new ManualWindow(this, services_.language);
    manual_->showInFront();
}

void MainWindow::chooseLanguage(Language language)
{
    chosenLanguage_ = std::string(languageCode(language));
    if (language == services_.language)
        return;
    // Said in the language chosen: the one shown may be the one the user cannot read.
    const QString text = language == Language::English
                             ? QStringLiteral("Padscope shows English captions from its next start.")
                             : QStringLiteral("次の起動から日本語で表示します。");
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Padscope"), text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("LanguageNote"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MainWindow::showFound(int program, int map, int note)
{
    const KitButton* kit = findKit(program);
    if (!findMap(map) || !kit || !kit->enabledInMap[static_cast<std::size_t>(map)] || note < 0 || note >= kPadCount)
        return;
    // A click on the checked radio button does nothing, as the user's would.
    controllers_->mapButton(map)->click();
    if (program != currentProgram_)
        kitButtons_[static_cast<std::size_t>(kit - kKitButtons.data())]->click();
    pageControl_->setCurrentWidget(padPage_);
    activateWindow();
    raise();
    padPage_->pads()[static_cast<std::size_t>(note)]->setFocus(Qt::OtherFocusReason);
}

void MainWindow::attachInput(MidiInput& input)
{
    if (input_)
        return;
    // The input's thread passes messages on and keeps what they mean; this
    // thread, woken once for all that came meanwhile, shows the outcome.
    route_ = std::make_unique<IncomingRoute>(
        [this] { QMetaObject::invokeMethod(this, &MainWindow::takeIncoming, Qt::QueuedConnection); },
        [this](std::span<const std::uint8_t> message) { session_.send(message); });
    route_->setThru(thru_);
    input_ = std::make_unique<InputSession>(
        input, services_.notifier,
        [route = route_.get()](std::span<const std::uint8_t> message, bool passedOn) { route->receive(message, passedOn); },
        [this] {
            route_->endThruNotes();
            route_->clear();
            releaseIncoming();
        });
    input_->setThru(thru_);
    input_->openRemembered(services_.saved.inputName);
    portMenu_->setInput({input_.get(), [this](int index) { input_->choose(index); }, [this] { return thru_; },
                         [this](bool on) { setThru(on); }});
}

void MainWindow::setThru(bool on)
{
    thru_ = on;
    // The route knows Thru is on before the input passes anything on, and
    // the input stops before the route ends the notes.
    if (on && route_)
        route_->setThru(true);
    if (input_)
        input_->setThru(on);
    if (!on && route_)
        route_->setThru(false);
}

void MainWindow::takeIncoming()
{
    if (route_)
        showIncoming(route_->take());
}

void MainWindow::showIncoming(const IncomingState& state)
{
    const QScopedValueRollback quiet(watching_, true);
    if (state.program)
        selectKit(*state.program);
    // Checking the radio button runs its own behaviour; an already checked
    // one stays as it is.
    if (state.map)
        controllers_->mapButton(*state.map)->setChecked(true);
    for (PadButton* pad : padPage_->pads())
        pad->setDown(state.held.test(static_cast<std::size_t>(pad->note())));
    if (state.lastNoteOn)
        setLabel(soundLabel_, QString::fromUtf8(drumName(currentProgram_, *state.lastNoteOn, currentMap_)));
    for (const DrumSoundReader::Change& change : state.drumSoundEdits)
        drumSound_->takeEdit(change.note, change.parameter, change.value);
}

void MainWindow::portFailed(Failure failure, const std::string& reason)
{
    // An input that never connected is not watched: none is chosen, and
    // none is remembered.
    if (failure == Failure::InputOpenFailed && input_)
        input_->close();
    if (failure != Failure::PortOpenFailed) {
        services_.notifier.report({failure, {}, reason});
        return;
    }
    session_.checkLateFailure();
    setLabel(deviceLabel_, QString::fromStdString(session_.portName()));
}

void MainWindow::releaseIncoming()
{
    for (PadButton* pad : padPage_->pads())
        pad->setDown(false);
}

}  // namespace padscope
