#include "app/ToneTryWindow.h"

#include "playback/ToneDispatcher.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tq {

ToneTryWindow::ToneTryWindow(ToneDispatcher& tones, const QString& speakerName, QWidget* parent)
    : QWidget(parent), tones_(tones) {
    setWindowTitle(QStringLiteral("Tonquill (v0.9.148 BETA)"));
    auto* layout = new QVBoxLayout(this);
    auto* info = new QLabel(QStringLiteral("Speaker in use: %1").arg(speakerName), this);
    info->setObjectName(QStringLiteral("SpeakerLabel"));
    playButton_ = new QPushButton(QStringLiteral("Play a C major scale"), this);
    playButton_->setObjectName(QStringLiteral("PlayScaleButton"));
    muteCheck_ = new QCheckBox(QStringLiteral("Mute PC speaker"), this);
    muteCheck_->setObjectName(QStringLiteral("MutePiptoneCheck"));
    muteCheck_->setToolTip(QStringLiteral("You might want to tick this when using MIDI output"));
    layout->addWidget(info);
    layout->addWidget(playButton_);
    layout->addWidget(muteCheck_);
    connect(playButton_, &QPushButton::clicked, this, &ToneTryWindow::PlayScale);
    connect(muteCheck_, &QCheckBox::toggled, this,
            [this](bool on) { tones_.MutePiptoneClicked(on); });
}

void ToneTryWindow::PlayScale() {
    playButton_->setEnabled(false);
    for (const char* note : {"C4", "D4", "E4", "F4", "G4", "A4", "B4", "C5"}) {
        tones_.UniBeepValue(QString::fromLatin1(note), 250, false, false, false, false);
    }
    playButton_->setEnabled(true);
}

} // namespace tq
