#include "midiin/MIDIInWindow.h"

#include "midiin/HeldNotesPanel.h"
#include "midiin/MIDIInForm.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tq {

MIDIInWindow::MIDIInWindow(MIDIInForm& form, QWidget* parent)
    : QWidget(parent, Qt::Window), form_(form) {
    setObjectName(QStringLiteral("MIDIInForm"));
    setWindowTitle(QStringLiteral("Live MIDI Input Settings"));

    cmbMIDIInDevice = new QComboBox(this);
    cmbMIDIInDevice->setObjectName(QStringLiteral("cmbMIDIInDevice"));
    cmbMIDIInDevice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbMIDIInDevice->setMinimumContentsLength(24);
    cmdRefresh = new QPushButton(QStringLiteral("Refresh"), this);
    cmdRefresh->setObjectName(QStringLiteral("cmdRefresh"));
    cmdRefresh->setToolTip(QStringLiteral("List the MIDI input devices again"));
    HeldNotes = new HeldNotesPanel(
        form_,
        QStringLiteral("Try to make each cycle last 60 mS (with max alternating time capped to "
                       "30mS per note)"),
        this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Please choose the MIDI input device to listen to the MIDI data from."),
        this));
    auto* deviceRow = new QHBoxLayout;
    deviceRow->addWidget(cmbMIDIInDevice, 1);
    deviceRow->addWidget(cmdRefresh);
    layout->addLayout(deviceRow);
    layout->addSpacing(6);
    layout->addWidget(HeldNotes);
    layout->addSpacing(6);
    layout->addWidget(
        new QLabel(QStringLiteral("Closing this window will disable MIDI input."), this));
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    connect(cmbMIDIInDevice, &QComboBox::activated, this,
            [this](int index) { form_.cmbMIDIInDevice_Click(index); });
    connect(cmdRefresh, &QPushButton::clicked, this, [this] { form_.cmdRefresh_Click(); });
    connect(&form_, &MIDIInForm::Changed, this, &MIDIInWindow::Mirror);
    Mirror();
}

void MIDIInWindow::Mirror() {
    {
        const QSignalBlocker block(cmbMIDIInDevice);
        QStringList shown;
        for (int i = 0; i < cmbMIDIInDevice->count(); ++i) {
            shown << cmbMIDIInDevice->itemText(i);
        }
        if (shown != form_.DeviceItems()) {
            cmbMIDIInDevice->clear();
            cmbMIDIInDevice->addItems(form_.DeviceItems());
        }
        cmbMIDIInDevice->setCurrentIndex(form_.DeviceIndex());
    }
    if (form_.IsVisible() != isVisible()) {
        setVisible(form_.IsVisible());
        if (form_.IsVisible()) {
            raise();
            activateWindow();
        }
    }
}

void MIDIInWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    form_.CloseBoxClick();
}

} // namespace tq
