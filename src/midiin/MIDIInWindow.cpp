#include "midiin/MIDIInWindow.h"

#include "midiin/HeldNotesPanel.h"
#include "midiin/MIDIInForm.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
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
    HeldNotes = new HeldNotesPanel(
        form_,
        QStringLiteral("Try to make each cycle last 60 mS (with max alternating time capped to "
                       "30mS per note)"),
        this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Please choose the MIDI input device to listen to the MIDI data from."),
        this));
    layout->addWidget(cmbMIDIInDevice);
    layout->addSpacing(6);
    layout->addWidget(HeldNotes);
    layout->addSpacing(6);
    layout->addWidget(
        new QLabel(QStringLiteral("Closing this window will disable MIDI input."), this));
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    connect(cmbMIDIInDevice, &QComboBox::activated, this,
            [this](int index) { form_.cmbMIDIInDevice_Click(index); });
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
