#include "midiin/MIDIFileWindow.h"

#include "midiin/HeldNotesPanel.h"
#include "midiin/MIDIFileForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>

namespace tq {

namespace {

QPushButton* MakeButton(const char* name, const QString& text, QStyle::StandardPixmap icon,
                        const QString& tip, QWidget* parent) {
    auto* button = new QPushButton(parent->style()->standardIcon(icon), text, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tip);
    return button;
}

// Sized for the longest text, so the position ticking by never relayouts the window.
QLabel* MakePosLabel(const char* name, const QString& widest, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFixedSize(label->fontMetrics().horizontalAdvance(widest) + 6,
                        label->fontMetrics().height() + 4);
    return label;
}

} // namespace

MIDIFileWindow::MIDIFileWindow(MIDIFileForm& form, QWidget* parent)
    : QWidget(parent, Qt::Window), form_(form) {
    setObjectName(QStringLiteral("MIDIFileForm"));
    setWindowTitle(QStringLiteral("MIDI File Playback Settings"));

    txtFile = new QLineEdit(this);
    txtFile->setObjectName(QStringLiteral("txtFile"));
    txtFile->setReadOnly(true);
    cmdBrowse = new QPushButton(QStringLiteral("Browse..."), this);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    HeldNotes = new HeldNotesPanel(
        form_,
        QStringLiteral("Try to make each cycle last 30 mS (with max alternating time capped to "
                       "15mS per note)"),
        this);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(txtFile, 1);
    fileRow->addWidget(cmdBrowse);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(MakePlayback());
    layout->addSpacing(6);
    layout->addWidget(HeldNotes);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    MakeInfoText();

    connect(cmdBrowse, &QPushButton::clicked, this, [this] {
        form_.cmdBrowse_Click();
        // The dialog belongs to the main window, which has the focus once it closes.
        activateWindow();
    });
    connect(cmdPlay, &QPushButton::clicked, this, [this] { form_.cmdPlay_Click(); });
    connect(cmdStop, &QPushButton::clicked, this, [this] { form_.cmdStop_Click(); });
    connect(cmdRewind, &QPushButton::clicked, this, [this] { form_.cmdRewind_Click(); });
    connect(chkLoop, &QCheckBox::clicked, this,
            [this](bool ticked) { form_.chkLoop_Click(ticked); });
    connect(sldPosition, &QSlider::valueChanged, this,
            [this](int value) { form_.sldPosition_Change(value); });
    connect(&form_, &MIDIFileForm::Changed, this, &MIDIFileWindow::Mirror);
    connect(&form_, &MIDIFileForm::ShowInfoText, this, &MIDIFileWindow::PaintInfoText);
    Mirror();
}

QGroupBox* MIDIFileWindow::MakePlayback() {
    frmPlayback = new QGroupBox(QStringLiteral("Playback controls"), this);
    frmPlayback->setObjectName(QStringLiteral("frmPlayback"));
    cmdPlay =
        MakeButton("cmdPlay", QStringLiteral("Play"), QStyle::SP_MediaPlay,
                   QStringLiteral("Start playing MIDI file from current position"), frmPlayback);
    cmdStop = MakeButton("cmdStop", QStringLiteral("Stop"), QStyle::SP_MediaStop,
                         QStringLiteral("Stop playing MIDI file"), frmPlayback);
    cmdRewind = MakeButton("cmdRewind", QStringLiteral("Rewind"), QStyle::SP_MediaSkipBackward,
                           QStringLiteral("Rewind to the beginning of the MIDI file"), frmPlayback);
    chkLoop = new QCheckBox(QStringLiteral("Loop"), frmPlayback);
    chkLoop->setObjectName(QStringLiteral("chkLoop"));
    sldPosition = new QSlider(Qt::Horizontal, frmPlayback);
    sldPosition->setObjectName(QStringLiteral("sldPosition"));
    sldPosition->setRange(0, MIDIFileForm::kSliderMax);
    // A drag moves the position once, where the slider is let go, rather than restarting
    // play at every step of the way; clicks and keys still move it at once.
    sldPosition->setTracking(false);
    sldPosition->setMinimumWidth(160);
    lblPosPercent = MakePosLabel("lblPosPercent", QStringLiteral("100.00%"), frmPlayback);
    lblPosSecs = MakePosLabel("lblPosSecs", QStringLiteral("000:00.00"), frmPlayback);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdPlay);
    buttons->addWidget(cmdStop);
    buttons->addWidget(cmdRewind);
    buttons->addStretch();
    buttons->addWidget(chkLoop);
    auto* position = new QHBoxLayout;
    position->addWidget(new QLabel(QStringLiteral("Position:"), frmPlayback));
    position->addWidget(sldPosition, 1);
    position->addWidget(lblPosPercent);
    position->addWidget(lblPosSecs);
    auto* layout = new QVBoxLayout(frmPlayback);
    layout->addLayout(buttons);
    layout->addLayout(position);
    return frmPlayback;
}

void MIDIFileWindow::MakeInfoText() {
    // Over the window rather than in its layout: it comes and goes while a file decodes.
    frmInfoText = new QFrame(this);
    frmInfoText->setObjectName(QStringLiteral("frmInfoText"));
    frmInfoText->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frmInfoText->setLineWidth(2);
    frmInfoText->setAutoFillBackground(true);
    lblInfoText = new QLabel(frmInfoText);
    lblInfoText->setObjectName(QStringLiteral("lblInfoText"));
    lblInfoText->setFont(QFont(QStringLiteral("Arial")));
    lblInfoText->setAlignment(Qt::AlignCenter);
    lblInfoText->setWordWrap(true);
    auto* layout = new QVBoxLayout(frmInfoText);
    layout->addWidget(lblInfoText);
    frmInfoText->hide();
}

void MIDIFileWindow::Mirror() {
    if (txtFile->text() != form_.FileText()) {
        txtFile->setText(form_.FileText());
    }
    frmPlayback->setEnabled(form_.PlaybackControlsEnabled());
    chkLoop->setChecked(form_.Loop());
    if (!sldPosition->isSliderDown()) { // the handle stays under the pointer during a drag
        const QSignalBlocker block(sldPosition);
        sldPosition->setValue(form_.SliderValue());
    }
    lblPosPercent->setText(form_.PosPercent());
    lblPosSecs->setText(form_.PosSecs());
    if (frmInfoText->isHidden() == form_.InfoTextVisible()) {
        frmInfoText->setVisible(form_.InfoTextVisible());
        PlaceInfoText();
    }
    if (form_.IsVisible() != isVisible()) {
        setVisible(form_.IsVisible());
        if (form_.IsVisible()) {
            raise();
            activateWindow();
        }
    }
}

void MIDIFileWindow::PaintInfoText(const QString& text) {
    lblInfoText->setText(text);
    if (!isVisible()) {
        return;
    }
    // Decoding keeps the event loop from running: paint the text now.
    frmInfoText->show();
    PlaceInfoText();
    repaint();
}

void MIDIFileWindow::PlaceInfoText() {
    const int height = lblInfoText->fontMetrics().height() * 3 + 16;
    frmInfoText->setGeometry(24, (this->height() - height) / 2, width() - 48, height);
    frmInfoText->raise();
}

void MIDIFileWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceInfoText();
}

void MIDIFileWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    form_.CloseBoxClick();
}

} // namespace tq
