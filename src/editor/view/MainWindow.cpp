#include "editor/view/MainWindow.h"

#include "editor/view/MusicListView.h"
#include "editor/view/PianoKeyboard.h"
#include "editor/view/UpDownButtons.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace tq {

namespace {

const QColor InvalidTextBox(255, 128, 0);
const QColor MetronomeOnFace(192, 255, 192);
const QColor PositionGreen(0, 128, 0);
const QColor PositionRed(255, 0, 0);

template <typename W> W* Named(W* widget, const char* name, const QString& toolTip = {}) {
    widget->setObjectName(QLatin1String(name));
    widget->setToolTip(toolTip);
    return widget;
}

QLabel* MakeLabel(const char* name, const QString& text, QWidget* parent,
                  const QString& toolTip = {}) {
    return Named(new QLabel(text, parent), name, toolTip);
}

QCheckBox* MakeCheck(const char* name, const QString& text, QWidget* parent, bool ticked = false,
                     const QString& toolTip = {}) {
    auto* check = Named(new QCheckBox(text, parent), name, toolTip);
    check->setChecked(ticked);
    return check;
}

QPushButton* MakeButton(const char* name, const QString& text, QWidget* parent,
                        const QString& toolTip = {}) {
    return Named(new QPushButton(text, parent), name, toolTip);
}

QToolButton* MakeHelpButton(const char* name, QWidget* parent) {
    auto* button = Named(new QToolButton(parent), name);
    button->setText(QStringLiteral("?"));
    return button;
}

QLineEdit* MakeTextBox(const char* name, const QString& text, QWidget* parent,
                       const QString& toolTip) {
    auto* box = Named(new QLineEdit(text, parent), name, toolTip);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 14);
    return box;
}

QSlider* MakeSlider(const char* name, QWidget* parent, int minimum, int maximum, int value,
                    int pageStep, int tickInterval, const QString& toolTip = {}) {
    auto* slider = Named(new QSlider(Qt::Horizontal, parent), name, toolTip);
    slider->setRange(minimum, maximum);
    slider->setSingleStep(1);
    slider->setPageStep(pageStep);
    slider->setTickInterval(tickInterval);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setValue(value);
    return slider;
}

QGroupBox* MakeFrame(const char* name, const QString& title, QWidget* parent) {
    return Named(new QGroupBox(title, parent), name);
}

// An untitled frame around a group of related settings.
QGroupBox* MakePanel(QWidget* parent) {
    return new QGroupBox(parent);
}

QLabel* MakePositionLabel(const char* name, const QString& text, QWidget* parent,
                          int widthInChars) {
    auto* label = MakeLabel(name, text, parent);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 2);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, PositionGreen);
    palette.setColor(QPalette::WindowText, QColor(230, 255, 230));
    label->setPalette(palette);
    label->setMinimumWidth(QFontMetrics(font).horizontalAdvance(QString(widthInChars, u'0')) + 16);
    label->setMinimumHeight(QFontMetrics(font).height() + 10);
    return label;
}

// A wrapped label takes no more lines than it would at its preferred width, and never gets
// narrower than that needs: the layouts count a label's least height without its wrapping,
// so a label allowed to wrap further would be cut, or squeeze its neighbours, when small.
void WrapWithoutGrowing(QLabel* label) {
    label->setWordWrap(true);
    const QSize preferred = label->sizeHint();
    int width = preferred.width();
    while (width > 1 && label->heightForWidth(width - 1) <= preferred.height()) {
        --width;
    }
    label->setMinimumSize(width, preferred.height());
}

// Keeps the layout still when a status label is shown or hidden.
void HiddenKeepingPlace(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    widget->hide();
}

// Tooltips shared by a label, its text box and its up-down.
const QString OctaveTip = QStringLiteral(
    "Changes the numbers above each coloured section of the keyboard which represent what "
    "octave (multiple of pitch) of the note those keys make");
const QString NoteLengthTip = QStringLiteral(
    "The length of note to insert into the list of music when you click a key on the keyboard");
const QString BPMTip = QStringLiteral("Number of beats, i.e. quarter-notes, per minute (tempo or "
                                      "speed which the music will be played at)");
const QString AlternateTip = QStringLiteral(
    "When a line in the music has a Note 1 and Note 2, the program switches between them "
    "quickly when it comes to the line. This is how quickly (i.e. shorter time = faster)");
const QString RatioTip = QStringLiteral(
    "Lets notes not be 'packed tightly together' by keeping the note on for only some of the "
    "time of the 'Length' in the line of music");
const QString MIDINotesTip =
    QStringLiteral("Play any received MIDI notes (no limit to number of simultaneous notes!)");

} // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Tonquill by Vellomar (v0.9.148 BETA)"));

    MainList = Named(new MusicListView(this), "MainList");
    // At its narrowest the list still shows the longest length name whole: the length column
    // gets 49 of the 176 parts of the row.
    const int lengthColumn =
        MainList->fontMetrics().horizontalAdvance(QStringLiteral("Quarter")) + 12;
    MainList->setMinimumWidth(lengthColumn * 176 / 49 +
                              MainList->verticalScrollBar()->sizeHint().width() +
                              2 * MainList->frameWidth());
    Keyboard = new PianoKeyboard(this);

    SaveLoadButton = MakeButton("SaveLoadButton", QStringLiteral("&SAVE / LOAD"), this);
    SaveLoadButton->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    QFont bold = SaveLoadButton->font();
    bold.setBold(true);
    SaveLoadButton->setFont(bold);
    SaveLoadButton->setMinimumHeight(32);

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(MainList, 1);
    listColumn->addWidget(BuildEditButtons(this));
    listColumn->addWidget(SaveLoadButton);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    grid->addLayout(listColumn, 0, 0);
    grid->addWidget(BuildNoteEntry(), 0, 1);
    grid->addWidget(BuildTiming(), 0, 2);
    grid->addWidget(BuildMods(), 0, 3);
    grid->addWidget(Keyboard, 1, 0, 1, 3);
    grid->addWidget(BuildPlayer(), 1, 3);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(2, 2);
    // The list takes the spare height; the keyboard keeps its natural proportions.
    grid->setRowStretch(0, 1);
    grid->setRowStretch(1, 0);
    BuildMenus();
    grid->setMenuBar(MenuBar);
}

QWidget* MainWindow::BuildEditButtons(QWidget* parent) {
    auto* panel = new QWidget(parent);
    SilentLineButton = MakeButton(
        "SilentLineButton", QStringLiteral("&Blank line"), panel,
        QStringLiteral("For inserting a silent line, or if you're replacing notes, for only "
                       "replacing the Length (if that is ticked)"));
    ClearNote1Button = MakeButton("ClearNote1Button", QStringLiteral("Clear Note &1"), panel,
                                  QStringLiteral("Make the selected line's 'Note 1' be blank"));
    ClearNote2Button = MakeButton("ClearNote2Button", QStringLiteral("Clear Note &2"), panel,
                                  QStringLiteral("Make the selected line's 'Note 2' be blank"));
    Command1 = MakeButton("Command1", QStringLiteral("Erase whole line"), panel,
                          QStringLiteral("Completely remove the selected line"));
    UnselectButton = MakeButton(
        "UnselectButton", QStringLiteral("&Un-select line"), panel,
        QStringLiteral("For if you end up inserting lines just before the last one because you "
                       "can't un-select the last line by clicking in blank parts of the list..."));

    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(ClearNote1Button, 0, 0);
    grid->addWidget(ClearNote2Button, 0, 1);
    grid->addWidget(SilentLineButton, 1, 0);
    grid->addWidget(Command1, 1, 1);
    grid->addWidget(UnselectButton, 2, 0, 1, 2);
    return panel;
}

QWidget* MainWindow::BuildNoteEntry() {
    auto* panel = MakePanel(this);

    Label1 = MakeLabel("Label1", QStringLiteral("Octave"), panel, OctaveTip);
    KeyboardOctaveText = MakeTextBox("KeyboardOctaveText", QStringLiteral("4"), panel, OctaveTip);
    KeyboardOctaveUpDown = Named(new UpDownButtons(KeyboardOctaveText, 2, 9, 1, panel),
                                 "KeyboardOctaveUpDown", OctaveTip);
    Label2 = MakeLabel("Label2", QStringLiteral("Note length:"), panel, NoteLengthTip);
    NoteLengthCombo = Named(new QComboBox(panel), "NoteLengthCombo", NoteLengthTip);
    NoteLengthCombo->addItems({QStringLiteral("1 (Whole)"), QStringLiteral("1/2 (Half)"),
                               QStringLiteral("1/4 (Quarter)"), QStringLiteral("1/8"),
                               QStringLiteral("1/16")});
    NoteLengthCombo->setCurrentIndex(3);
    ModDottedCheck = MakeCheck("ModDottedCheck", QStringLiteral("Dotted"), panel, false,
                               QStringLiteral("Make length 1.5x longer than normal"));
    ModTripletCheck =
        MakeCheck("ModTripletCheck", QStringLiteral("Triplet"), panel, false,
                  QStringLiteral("Make note length one third of what it normally is"));

    NoteClickFrame = MakeFrame("NoteClickFrame", QStringLiteral("When key is clicked,"), panel);
    NoteClickPlayCheck =
        MakeCheck("NoteClickPlayCheck", QStringLiteral("Play note"), NoteClickFrame, true);
    (new QVBoxLayout(NoteClickFrame))->addWidget(NoteClickPlayCheck);

    AddingNoteFrame = MakeFrame("AddingNoteFrame", QStringLiteral("Adding note"), panel);
    NoteClickAddCheck = MakeCheck("NoteClickAddCheck", QStringLiteral("Add note to list of music"),
                                  AddingNoteFrame, true);
    AddNote1Option =
        Named(new QRadioButton(QStringLiteral("Add as Note 1"), AddingNoteFrame), "AddNote1Option");
    AddNote1Option->setChecked(true);
    AddNote2Option =
        Named(new QRadioButton(QStringLiteral("Add as Note 2"), AddingNoteFrame), "AddNote2Option");
    NoteReplaceCheck =
        MakeCheck("NoteReplaceCheck", QStringLiteral("Replace instead of insert"), AddingNoteFrame);
    NoteLengthReplaceCheck =
        MakeCheck("NoteLengthReplaceCheck", QStringLiteral("Replace Length too"), AddingNoteFrame);
    NoteLengthReplaceCheck->setEnabled(false);

    // Indented: it only applies while replacing.
    auto* lengthToo = new QHBoxLayout;
    lengthToo->addSpacing(22);
    lengthToo->addWidget(NoteLengthReplaceCheck);
    auto* adding = new QVBoxLayout(AddingNoteFrame);
    adding->addWidget(NoteClickAddCheck);
    adding->addWidget(AddNote1Option);
    adding->addWidget(AddNote2Option);
    adding->addWidget(NoteReplaceCheck);
    adding->addLayout(lengthToo);

    auto* octave = new QHBoxLayout;
    octave->setSpacing(0);
    octave->addWidget(KeyboardOctaveText);
    octave->addWidget(KeyboardOctaveUpDown);
    octave->addStretch();
    auto* mods = new QHBoxLayout;
    mods->addWidget(ModDottedCheck);
    mods->addWidget(ModTripletCheck);
    mods->addStretch();

    auto* form = new QGridLayout;
    form->setSpacing(8);
    form->addWidget(Label1, 0, 0);
    form->addLayout(octave, 0, 1);
    form->addWidget(Label2, 1, 0);
    form->addWidget(NoteLengthCombo, 1, 1);
    form->addLayout(mods, 2, 1);
    form->setColumnStretch(1, 1);

    auto* column = new QVBoxLayout(panel);
    column->setSpacing(10);
    column->addLayout(form);
    column->addWidget(NoteClickFrame);
    column->addWidget(AddingNoteFrame);
    column->addStretch();
    return panel;
}

QWidget* MainWindow::BuildTiming() {
    auto* panel = MakePanel(this);

    Label3 = MakeLabel("Label3", QStringLiteral("BPM:"), panel, BPMTip);
    BPMText = MakeTextBox("BPMText", QStringLiteral("140"), panel, BPMTip);
    BPMUpDown = Named(new UpDownButtons(BPMText, 40, 600, 5, panel), "BPMUpDown", BPMTip);
    AlternateTimeLabel =
        MakeLabel("AlternateTimeLabel", QStringLiteral("Switch between alternating notes every:"),
                  panel, AlternateTip);
    WrapWithoutGrowing(AlternateTimeLabel);
    AlternateTimeText = MakeTextBox("AlternateTimeText", QStringLiteral("30"), panel, AlternateTip);
    mSLabel = MakeLabel("mSLabel", QStringLiteral("mS"), panel, AlternateTip);

    Label4 = MakeLabel("Label4", QStringLiteral("Note / silence ratio:"), panel, RatioTip);
    Label6 = MakeLabel("Label6", QStringLiteral("Note"), panel, RatioTip);
    Label5 = MakeLabel("Label5", QStringLiteral("Silence"), panel, RatioTip);
    NoteSilenceRatioSlider =
        MakeSlider("NoteSilenceRatioSlider", panel, 5, 100, 50, 5, 5, RatioTip);
    NoteSilenceRatioLabel =
        MakeLabel("NoteSilenceRatioLabel", QStringLiteral("50%"), panel, RatioTip);
    NoteSilenceRatioLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Label8 = MakeLabel("Label8", QStringLiteral("Time Signature:"), panel);
    TimeSigSlider = MakeSlider(
        "TimeSigSlider", panel, 1, 32, 4, 4, 4,
        QStringLiteral("Affects the position displays down in the bottom-right of this window"));
    lblTimeSig = MakeLabel("lblTimeSig", QStringLiteral("4"), panel);
    lblTimeSig->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    NotesToPlayFrame =
        MakeFrame("NotesToPlayFrame", QStringLiteral("Which notes in list to play"), panel);
    LineClickFrame =
        MakeFrame("LineClickFrame", QStringLiteral("When a line is clicked,"), NotesToPlayFrame);
    ClickPlayNote1Check =
        MakeCheck("ClickPlayNote1Check", QStringLiteral("Play Note 1"), LineClickFrame, true);
    ClickPlayNote2Check =
        MakeCheck("ClickPlayNote2Check", QStringLiteral("Play Note 2"), LineClickFrame, true);
    MusicPlayFrame = MakeFrame("MusicPlayFrame", QStringLiteral("When the music is being played,"),
                               NotesToPlayFrame);
    PlayNote1Check =
        MakeCheck("PlayNote1Check", QStringLiteral("Play Note 1"), MusicPlayFrame, true);
    PlayNote2Check =
        MakeCheck("PlayNote2Check", QStringLiteral("Play Note 2"), MusicPlayFrame, true);

    auto* lineClick = new QHBoxLayout(LineClickFrame);
    lineClick->addWidget(ClickPlayNote1Check);
    lineClick->addWidget(ClickPlayNote2Check);
    auto* musicPlay = new QHBoxLayout(MusicPlayFrame);
    musicPlay->addWidget(PlayNote1Check);
    musicPlay->addWidget(PlayNote2Check);
    auto* notes = new QVBoxLayout(NotesToPlayFrame);
    notes->addWidget(LineClickFrame);
    notes->addWidget(MusicPlayFrame);

    auto* bpm = new QHBoxLayout;
    bpm->setSpacing(0);
    bpm->addWidget(BPMText);
    bpm->addWidget(BPMUpDown);
    bpm->addStretch();
    auto* alternate = new QHBoxLayout;
    alternate->addWidget(AlternateTimeText);
    alternate->addWidget(mSLabel);
    alternate->addStretch();

    auto* ratio = new QHBoxLayout;
    // The slider's value is the note's share: moving right lengthens the notes.
    ratio->addWidget(Label5);
    ratio->addWidget(NoteSilenceRatioSlider, 1);
    ratio->addWidget(Label6);

    auto* form = new QGridLayout;
    form->setSpacing(8);
    form->addWidget(Label3, 0, 0);
    form->addLayout(bpm, 0, 1);
    form->addWidget(AlternateTimeLabel, 1, 0);
    form->addLayout(alternate, 1, 1);
    form->addWidget(Label4, 2, 0);
    form->addWidget(NoteSilenceRatioLabel, 2, 1);
    form->addLayout(ratio, 3, 0, 1, 2);
    form->addWidget(Label8, 4, 0);
    form->addWidget(lblTimeSig, 4, 1);
    form->addWidget(TimeSigSlider, 5, 0, 1, 2);
    form->setColumnStretch(0, 1);

    auto* column = new QVBoxLayout(panel);
    column->setSpacing(10);
    column->addLayout(form);
    column->addWidget(NotesToPlayFrame);
    column->addStretch();
    return panel;
}

QWidget* MainWindow::BuildMods() {
    auto* panel = MakePanel(this);

    ModsLabel = MakeLabel("ModsLabel", QStringLiteral("Mods"), panel);
    QFont heading = ModsLabel->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.2);
    ModsLabel->setFont(heading);

    MutePiptoneCheck =
        MakeCheck("MutePiptoneCheck", QStringLiteral("Mute PC speaker"), panel, false,
                  QStringLiteral("You might want to tick this when using MIDI output"));
    UseFMODCheck =
        MakeCheck("UseFMODCheck", QStringLiteral("Use FMOD to create the beep"), panel, false,
                  QStringLiteral("Create beeps through the soundcard instead of the PC speaker"));
    UseFMODHButton = MakeHelpButton("UseFMODHButton", panel);
    UseVoiceCheck = MakeCheck(
        "UseVoiceCheck", QStringLiteral("Use voice system"), panel, false,
        QStringLiteral("Play Note 2 with a rubbish system which attempts to mimic voice formants"));
    UseVoiceHButton = MakeHelpButton("UseVoiceHButton", panel);
    UseMIDIOutCheck = MakeCheck(
        "UseMIDIOutCheck", QStringLiteral("Use MIDI output"), panel, false,
        QStringLiteral("Send played notes out to a MIDI device (not necessarily external)"));
    UseMIDIOutHButton = MakeHelpButton("UseMIDIOutHButton", panel);
    UseMIDIInCheck = MakeCheck("UseMIDIInCheck", QStringLiteral("Use live MIDI input"), panel,
                               false, MIDINotesTip);
    UseMIDIInHButton = MakeHelpButton("UseMIDIInHButton", panel);
    UseMIDIFileCheck = MakeCheck("UseMIDIFileCheck", QStringLiteral("Play a MIDI file"), panel,
                                 false, MIDINotesTip);
    UseMIDIFileHButton = MakeHelpButton("UseMIDIFileHButton", panel);
    UseSynchroCheck = MakeCheck(
        "UseSynchroCheck", QStringLiteral("Synchronized play"), panel, false,
        QStringLiteral(
            "Allows 2 or more instances of this program to play in sync with each other"));
    UseSynchroHButton = MakeHelpButton("UseSynchroHButton", panel);
    UsePortaCheck = MakeCheck("UsePortaCheck", QStringLiteral("Piptone portamento"), panel, false,
                              QStringLiteral("Make the PC speaker gradually fade from one note to "
                                             "the next (clicked keys only)"));
    UsePortaHButton = MakeHelpButton("UsePortaHButton", panel);
    UseMotorCheck =
        MakeCheck("UseMotorCheck", QStringLiteral("Use motor-speed mod (via SSC-32 and SyRen10)"),
                  panel, false,
                  QStringLiteral("Just in case you happen to have a spare "
                                 "microcontroller and motor speed controller lying "
                                 "around ;P"));
    Label7 = MakeLabel("Label7", QStringLiteral("Motor Octave"), panel);
    MotorOctSlider = MakeSlider("MotorOctSlider", panel, 0, 5, 2, 5, 1);
    UseBeatCheck =
        MakeCheck("UseBeatCheck", QStringLiteral("Play a beat sound"), panel, false,
                  QStringLiteral("Make a beat-like sound on quarter-notes or half-notes"));
    UseBeatHButton = MakeHelpButton("UseBeatHButton", panel);
    UseCircuitBentCheck =
        MakeCheck("UseCircuitBentCheck", QStringLiteral("Act as if circuit-bent"), panel, false,
                  QStringLiteral("Plays fast random notes all the time. Yeah, it's a waste."));
    UseCircuitBentHButton = MakeHelpButton("UseCircuitBentHButton", panel);
    lblDebug = MakeLabel("lblDebug", QStringLiteral("DEBUG LOGGING ENABLED"), panel);
    lblDebug->setStyleSheet(QStringLiteral("QLabel { color: rgb(192, 0, 0); font-weight: bold; }"));
    HiddenKeepingPlace(lblDebug);

    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(4);
    int row = 0;
    const auto addMod = [&](QCheckBox* check, QToolButton* help) {
        grid->addWidget(check, row, 0);
        if (help != nullptr) {
            grid->addWidget(help, row, 1);
        }
        ++row;
    };
    addMod(MutePiptoneCheck, nullptr);
    addMod(UseFMODCheck, UseFMODHButton);
    addMod(UseVoiceCheck, UseVoiceHButton);
    addMod(UseMIDIOutCheck, UseMIDIOutHButton);
    addMod(UseMIDIInCheck, UseMIDIInHButton);
    addMod(UseMIDIFileCheck, UseMIDIFileHButton);
    addMod(UseSynchroCheck, UseSynchroHButton);
    addMod(UsePortaCheck, UsePortaHButton);
    // The longest caption, with no help button: it may reach under the help column.
    grid->addWidget(UseMotorCheck, row++, 0, 1, 2);
    auto* motor = new QHBoxLayout;
    motor->setContentsMargins(22, 0, 0, 0);
    motor->addWidget(Label7);
    motor->addWidget(MotorOctSlider, 1);
    grid->addLayout(motor, row++, 0);
    addMod(UseBeatCheck, UseBeatHButton);
    addMod(UseCircuitBentCheck, UseCircuitBentHButton);

    auto* column = new QVBoxLayout(panel);
    column->addWidget(ModsLabel);
    column->addLayout(grid);
    column->addStretch();
    column->addWidget(lblDebug);
    return panel;
}

QWidget* MainWindow::BuildPlayer() {
    auto* panel = MakePanel(this);
    PlayAllButton = MakeButton("PlayAllButton", QStringLiteral("Play all"), panel,
                               QStringLiteral("Play all lines in the list of music"));
    PlayFromLineButton = MakeButton(
        "PlayFromLineButton", QStringLiteral("Play from selected line"), panel,
        QStringLiteral("Play all the lines in the list of music starting from the one which is "
                       "selected (if nothing's selected, it plays form the first line)"));
    StopPlayButton = MakeButton(
        "StopPlayButton", QStringLiteral("Stop playing"), panel,
        QStringLiteral("Stop playing lines in the list of music (if the music has notes which are "
                       "long, it may take a second or so to stop)"));
    MetronomeButton = MakeButton(
        "MetronomeButton", QStringLiteral("Metronome"), panel,
        QStringLiteral(
            "Turn the metronome on or off, so you can hear the tempo (BPM) of the song"));
    PlayAllButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    PlayFromLineButton->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    StopPlayButton->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    for (QPushButton* button :
         {PlayAllButton, StopPlayButton, PlayFromLineButton, MetronomeButton}) {
        button->setMinimumHeight(32);
    }

    lblPlayBar = MakePositionLabel("lblPlayBar", QStringLiteral("001"), panel, 4);
    lblPlayPos = MakePositionLabel("lblPlayPos", QStringLiteral("01"), panel, 8);
    lblPlaySig = MakePositionLabel("lblPlaySig", QStringLiteral("00.00"), panel, 5);
    NoUpdateCheck = MakeCheck("NoUpdateCheck", QStringLiteral("Do not update"), panel, false,
                              QStringLiteral("Please tick this if there are many notes, and the "
                                             "music skips or CPU usage is too high!"));
    NoUpdateHButton = MakeHelpButton("NoUpdateHButton", panel);
    BeepTextLabel =
        MakeLabel("BeepTextLabel", QStringLiteral("BEEP"), panel,
                  QStringLiteral("Represents when there is sound coming out of the piptone"));
    BeepTextLabel->setAlignment(Qt::AlignCenter);
    // The lamp lights for every tone, often during a tone that blocks the event loop, so
    // it is painted at once: a plainly drawn label whose state is its colours
    // only, so lighting it never touches the layout or the widgets under it.
    QFont lampFont = BeepTextLabel->font();
    lampFont.setBold(true);
    BeepTextLabel->setFont(lampFont);
    BeepTextLabel->setMinimumWidth(
        BeepTextLabel->fontMetrics().horizontalAdvance(QStringLiteral("BEEP")) + 16);
    SetBeepLit(false);

    auto* labels = new QHBoxLayout;
    labels->setSpacing(6);
    labels->addWidget(lblPlayBar);
    labels->addWidget(lblPlayPos, 1);
    labels->addWidget(lblPlaySig);
    auto* options = new QHBoxLayout;
    options->addWidget(NoUpdateCheck);
    options->addWidget(NoUpdateHButton);
    options->addStretch();
    options->addWidget(BeepTextLabel);

    auto* buttons = new QGridLayout;
    buttons->addWidget(PlayAllButton, 0, 0);
    buttons->addWidget(StopPlayButton, 0, 1);
    buttons->addWidget(PlayFromLineButton, 1, 0);
    buttons->addWidget(MetronomeButton, 1, 1);

    auto* column = new QVBoxLayout(panel);
    column->addLayout(buttons);
    column->addStretch();
    column->addLayout(labels);
    column->addLayout(options);
    return panel;
}

QSize MainWindow::DefaultSize() const {
    const QSize comfortable(1280, 800);
    const QScreen* where = screen();
    if (where == nullptr) {
        return comfortable;
    }
    // Until the window has been shown its frame is unknown: allow for a title bar and borders.
    QSize frame = frameGeometry().size() - size();
    if (frame.isNull()) {
        frame = QSize(8, 40);
    }
    const QSize room = where->availableGeometry().size() - frame;
    return comfortable.boundedTo(room).expandedTo(minimumSizeHint());
}

void MainWindow::SetTextBoxValid(QLineEdit* box, bool valid) {
    QPalette palette = box->palette();
    const QColor base = valid ? QApplication::palette(box).color(QPalette::Base) : InvalidTextBox;
    // The cycling player sets the alternation time hundreds of times a second.
    if (palette.color(QPalette::Base) != base) {
        palette.setColor(QPalette::Base, base);
        box->setPalette(palette);
    }
}

void MainWindow::SetBeepLit(bool lit) {
    beepLit_ = lit;
    QPalette p = BeepTextLabel->palette();
    p.setColor(QPalette::Window, QColor(255, 0, 0));
    p.setColor(QPalette::WindowText, lit ? QColor(Qt::white) : QColor(Qt::transparent));
    BeepTextLabel->setPalette(p);
    // Lit, it fills its own solid background, which makes it opaque: lighting it repaints
    // nothing but the lamp.
    BeepTextLabel->setAutoFillBackground(lit);
}

void MainWindow::SetMetronomeButtonLit(bool lit) {
    QPalette palette = MetronomeButton->palette();
    palette.setColor(QPalette::Button,
                     lit ? MetronomeOnFace
                         : QApplication::palette(MetronomeButton).color(QPalette::Button));
    MetronomeButton->setPalette(palette);
}

void MainWindow::SetPlayPosError(bool error) {
    QPalette palette = lblPlayPos->palette();
    palette.setColor(QPalette::Window, error ? PositionRed : PositionGreen);
    lblPlayPos->setPalette(palette);
}

} // namespace tq
