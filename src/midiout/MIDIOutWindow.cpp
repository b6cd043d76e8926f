#include "midiout/MIDIOutWindow.h"

#include "midiout/MIDIOutForm.h"
#include "midiout/OctaveOffsetBox.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tq {

namespace {

QComboBox* MakeCombo(const char* name, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return combo;
}

QLabel* MakeText(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

void ShowItems(QComboBox* combo, const QStringList& items, int index) {
    const QSignalBlocker block(combo);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) {
        shown << combo->itemText(i);
    }
    if (shown != items) {
        combo->clear();
        combo->addItems(items);
    }
    combo->setCurrentIndex(index);
}

} // namespace

MIDIOutWindow::MIDIOutWindow(MIDIOutForm& form, QWidget* parent)
    : QWidget(parent, Qt::Window), form_(form) {
    setObjectName(QStringLiteral("MIDIOutForm"));
    setWindowTitle(QStringLiteral("MIDI Output Settings"));

    cmbMIDIOutDevice = MakeCombo("cmbMIDIOutDevice", this);
    cmbChannel = MakeCombo("cmbChannel", this);
    cmbInstrument = MakeCombo("cmbInstrument", this);
    cmbInstrument->setMaxVisibleItems(20);
    cmdRefresh = new QPushButton(QStringLiteral("Refresh"), this);
    cmdRefresh->setObjectName(QStringLiteral("cmdRefresh"));
    cmdRefresh->setToolTip(QStringLiteral("List the MIDI output devices again"));
    spnOctaveOffset = new OctaveOffsetBox(this);
    spnOctaveOffset->setToolTip(
        QStringLiteral("0 sends C4 as note 48, the program's own numbering; +1 sends C4 as "
                       "note 60, middle C of General MIDI."));
    lblInfoText = new QLabel(this);
    lblInfoText->setObjectName(QStringLiteral("lblInfoText"));
    lblInfoText->setFont(QFont(QStringLiteral("Arial")));
    lblInfoText->setAlignment(Qt::AlignCenter);
    QSizePolicy keepPlace = lblInfoText->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    lblInfoText->setSizePolicy(keepPlace);
    lblInfoText->setText(QStringLiteral("Opening output device, just a sec..."));
    lblInfoText->hide();

    auto* settings = new QGridLayout;
    settings->addWidget(new QLabel(QStringLiteral("Channel:"), this), 0, 0);
    settings->addWidget(cmbChannel, 0, 1, Qt::AlignLeft);
    settings->addWidget(
        MakeText(QStringLiteral("You can also set the MIDI instrument being used."), this), 1, 0, 1,
        2);
    settings->addWidget(new QLabel(QStringLiteral("Instrument:"), this), 2, 0);
    settings->addWidget(cmbInstrument, 2, 1);
    settings->addWidget(new QLabel(QStringLiteral("Octave offset"), this), 3, 0);
    settings->addWidget(spnOctaveOffset, 3, 1, Qt::AlignLeft);
    settings->setColumnStretch(1, 1);

    auto* deviceRow = new QHBoxLayout;
    deviceRow->addWidget(cmbMIDIOutDevice, 1);
    deviceRow->addWidget(cmdRefresh);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeText(
        QStringLiteral("Please choose the MIDI output device to send the MIDI data to."), this));
    layout->addLayout(deviceRow);
    layout->addSpacing(8);
    layout->addWidget(MakeText(
        QStringLiteral("Please choose the specific MIDI channel which the data should be sent on."),
        this));
    layout->addLayout(settings);
    layout->addWidget(lblInfoText);
    setMinimumWidth(360);

    connect(cmbMIDIOutDevice, &QComboBox::activated, this,
            [this](int index) { form_.cmbMIDIOutDevice_Click(index); });
    connect(cmdRefresh, &QPushButton::clicked, this, [this] { form_.cmdRefresh_Click(); });
    connect(spnOctaveOffset, &QSpinBox::valueChanged, this,
            [this](int offset) { form_.spnOctaveOffset_Change(offset); });
    connect(cmbChannel, &QComboBox::activated, this,
            [this](int index) { form_.cmbChannel_Click(index); });
    connect(cmbInstrument, &QComboBox::activated, this,
            [this](int index) { form_.cmbInstrument_Click(index); });
    connect(&form_, &MIDIOutForm::Changed, this, &MIDIOutWindow::Mirror);
    connect(&form_, &MIDIOutForm::ShowInfoText, this, &MIDIOutWindow::PaintInfoText);
    Mirror();
}

void MIDIOutWindow::Mirror() {
    ShowItems(cmbMIDIOutDevice, form_.DeviceItems(), form_.DeviceIndex());
    ShowItems(cmbChannel, form_.ChannelItems(), form_.MIDIChannel());
    ShowItems(cmbInstrument, form_.InstrumentItems(), form_.InstrumentIndex());
    {
        const QSignalBlocker block(spnOctaveOffset);
        spnOctaveOffset->setValue(form_.OctaveOffset());
    }
    if (form_.IsVisible() != isVisible()) {
        setVisible(form_.IsVisible());
        if (form_.IsVisible()) {
            raise();
            activateWindow();
        }
    }
}

void MIDIOutWindow::PaintInfoText(const QString& text) {
    if (!isVisible()) {
        return;
    }
    // The slow work that follows keeps the event loop from running: paint the status now.
    // Hidden again at once, it stays on screen until the window is next painted.
    lblInfoText->setText(text);
    lblInfoText->show();
    repaint();
    lblInfoText->hide();
}

void MIDIOutWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    form_.CloseBoxClick();
}

} // namespace tq
