#include "fmodtone/FMODOptionsForm.h"

#include "fmodtone/FmodOptions.h"
#include "fmodtone/engine/Oscillator.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace tq {

FMODOptionsForm::FMODOptionsForm(FmodOptions& options, QWidget* parent)
    : QWidget(parent, Qt::Window), options_(options) {
    setObjectName(QStringLiteral("FMODOptionsForm"));
    setWindowTitle(QStringLiteral("FMOD Settings"));

    auto* frame = new QGroupBox(QStringLiteral("FMOD 'beep' waveform"), this);
    auto* frameLayout = new QVBoxLayout(frame);
    auto addOption = [&](const char* name, const QString& caption, int32_t code) {
        auto* b = new QRadioButton(caption, frame);
        b->setObjectName(QString::fromLatin1(name));
        frameLayout->addWidget(b);
        connect(b, &QRadioButton::clicked, this, [this, code] { options_.OptionClicked(code); });
        return b;
    };
    optSine_ = addOption("optSine", QStringLiteral("Sine"), snd::kWaveSine);
    optSquare_ = addOption("optSquare", QStringLiteral("Square (default)"), snd::kWaveSquare);
    // The option captioned "Triangle" plays a triangle; code 3 is the falling saw, which
    // the voice uses for its sawtooth.
    optTriangle_ = addOption("optTriangle", QStringLiteral("Triangle"), snd::kWaveTriangle);
    optNoise_ =
        addOption("optNoise", QStringLiteral("Noise (probably only good for sound effects)"),
                  snd::kWaveNoise);
    auto* pitchLabel = new QLabel(
        QStringLiteral("Pitch is always controlled by modifying the sample-rate. Therefore, "
                       "different pitches will even be audible with noise, as the highest pitch "
                       "of the noise will be limited by the sample-rate."),
        frame);
    pitchLabel->setWordWrap(true);
    frameLayout->addWidget(pitchLabel);

    neverSilentCheck_ = new QCheckBox(
        QStringLiteral("Never automatically become silent while music is playing."), this);
    neverSilentCheck_->setObjectName(QStringLiteral("NeverSilentCheck"));
    connect(neverSilentCheck_, &QCheckBox::clicked, this,
            [this](bool ticked) { options_.SetNeverSilentCheck(ticked); });
    auto* noteLabel = new QLabel(
        QStringLiteral("(FMOD's sound will continue until a new note starts, or until a blank "
                       "line is hit, or until the music reaches the end. There will be no clicks "
                       "or pops as a note changes to a different note.)"),
        this);
    noteLabel->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(neverSilentCheck_);
    layout->addWidget(noteLabel);
    // Wide enough for the check box's caption, and as tall as the wrapped texts need.
    const QMargins m = layout->contentsMargins();
    const int width = std::max(380, neverSilentCheck_->sizeHint().width() + m.left() + m.right());
    setFixedWidth(width);
    setMinimumHeight(layout->totalHeightForWidth(width));
    resize(width, minimumHeight());

    connect(&options_, &FmodOptions::Changed, this, &FMODOptionsForm::Mirror);
    connect(&options_, &FmodOptions::ShowRequested, this, [this] {
        show();
        raise();
        activateWindow();
    });
    connect(&options_, &FmodOptions::HideRequested, this, &QWidget::hide);
    Mirror();
}

void FMODOptionsForm::Mirror() {
    const int32_t code = options_.SelectedOption();
    optSine_->setChecked(code == snd::kWaveSine);
    optSquare_->setChecked(code == snd::kWaveSquare);
    optTriangle_->setChecked(code == snd::kWaveTriangle);
    optNoise_->setChecked(code == snd::kWaveNoise);
    const QSignalBlocker block(neverSilentCheck_);
    neverSilentCheck_->setChecked(options_.NeverSilentCheck());
    neverSilentCheck_->setEnabled(options_.NeverSilentCheckEnabled());
}

void FMODOptionsForm::closeEvent(QCloseEvent* event) {
    event->ignore();
    options_.Hide();
}

} // namespace tq
