#include "playback/BeatWindow.h"

#include "playback/BeatSound.h"

#include <QCloseEvent>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tq {

BeatWindow::BeatWindow(BeatForm& form, QWidget* parent) : QWidget(parent, Qt::Window), form_(form) {
    setObjectName(QStringLiteral("BeatForm"));
    setWindowTitle(QStringLiteral("Beat Settings"));
    optBeatAll_ = new QRadioButton(
        QStringLiteral("Play beat sound on all beats (for music with slow tempo)"), this);
    optBeatAll_->setObjectName(QStringLiteral("optBeatAll"));
    option1_ = new QRadioButton(QStringLiteral("Play beat sound on odd-numbered beats (for music "
                                               "with fast tempo) (Effectively halves the beat "
                                               "tempo)"),
                                this);
    option1_->setObjectName(QStringLiteral("Option1"));
    lblDisabled_ = new QLabel(QStringLiteral("(Please un-tick \"Do not update\" from the main "
                                             "window to allow the beat sounds to play at the "
                                             "correct times.)"),
                              this);
    lblDisabled_->setObjectName(QStringLiteral("lblDisabled"));
    lblDisabled_->setWordWrap(true);
    lblDisabled_->setStyleSheet(QStringLiteral("color: red"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(optBeatAll_);
    layout->addWidget(option1_);
    layout->addWidget(lblDisabled_);
    layout->addStretch();
    connect(optBeatAll_, &QRadioButton::clicked, this, [this] { form_.optBeatAll_Click(); });
    connect(option1_, &QRadioButton::clicked, this, [this] { form_.Option1_Click(); });
    connect(&form_, &BeatForm::Changed, this, &BeatWindow::Mirror);
    connect(&form_, &BeatForm::ShowRequested, this, [this] {
        show();
        raise();
        activateWindow();
    });
    connect(&form_, &BeatForm::HideRequested, this, &QWidget::hide);
    Mirror();
}

void BeatWindow::Mirror() {
    optBeatAll_->setChecked(!form_.BeatEvenOnly);
    option1_->setChecked(form_.BeatEvenOnly);
    lblDisabled_->setVisible(form_.lblDisabledVisible);
}

void BeatWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

} // namespace tq
