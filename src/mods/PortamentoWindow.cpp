#include "mods/PortamentoWindow.h"

#include "mods/PortamentoForm.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace tq {

namespace {

QSlider* MakeSlider(QWidget* parent, const char* name, int min, int max, int page, int tick) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(min, max);
    s->setPageStep(page);
    s->setTickInterval(tick);
    s->setTickPosition(QSlider::TicksBelow);
    return s;
}

} // namespace

PortamentoWindow::PortamentoWindow(PortamentoForm& form, QWidget* parent)
    : QWidget(parent, Qt::Window), form_(form) {
    setObjectName(QStringLiteral("PortamentoForm"));
    setWindowTitle(QStringLiteral("Piptone Portamento Settings"));

    auto* frame = new QGroupBox(QStringLiteral("Length of sound"), this);
    frame->setObjectName(QStringLiteral("ToneTimeFrame"));
    optSoundStops_ = new QRadioButton(
        QStringLiteral("Piptone produces sound for roughly this many milliseconds:"), frame);
    optSoundStops_->setObjectName(QStringLiteral("optSoundStops"));
    soundLengthSlider_ = MakeSlider(frame, "SoundLengthSlider", 50, 1000, 250, 50);
    lblSoundLength_ = new QLabel(frame);
    lblSoundLength_->setObjectName(QStringLiteral("lblSoundLength"));
    lblSoundLength_->setMinimumWidth(40);
    optSoundAlways_ = new QRadioButton(QStringLiteral("Piptone always produces sound"), frame);
    optSoundAlways_->setObjectName(QStringLiteral("optSoundAlways"));
    auto* lengthRow = new QHBoxLayout;
    lengthRow->addWidget(soundLengthSlider_, 1);
    lengthRow->addWidget(lblSoundLength_);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(optSoundStops_);
    frameLayout->addLayout(lengthRow);
    frameLayout->addWidget(optSoundAlways_);

    auto* label1 = new QLabel(QStringLiteral("Speed of pitch change"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    pitchMultipleSlider_ = MakeSlider(this, "PitchMultipleSlider", 50, 18000, 250, 400);
    auto* label3 = new QLabel(QStringLiteral("NOTE:"), this);
    label3->setObjectName(QStringLiteral("Label3"));
    auto* label2 = new QLabel(
        QStringLiteral("In order for piptone portamento it to work with things other than you "
                       "just clicking notes on the keyboard, you MUST tick \"Mute PC speaker\" "
                       "on the main window. Otherwise, the ordinary \"non-modified\" notes will "
                       "be played over the top, blocking the portamento."),
        this);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(label1);
    layout->addWidget(pitchMultipleSlider_);
    layout->addWidget(label3);
    layout->addWidget(label2);
    setFixedWidth(420);

    connect(optSoundStops_, &QRadioButton::clicked, this, [this] { form_.optSoundStops_Click(); });
    connect(optSoundAlways_, &QRadioButton::clicked, this,
            [this] { form_.optSoundAlways_Click(); });
    connect(soundLengthSlider_, &QSlider::valueChanged, this,
            [this](int v) { form_.SetSoundLengthSlider(v); });
    connect(pitchMultipleSlider_, &QSlider::valueChanged, this,
            [this](int v) { form_.SetPitchMultipleSlider(v); });
    connect(&form_, &PortamentoForm::Changed, this, &PortamentoWindow::Mirror);
    connect(&form_, &PortamentoForm::ShowRequested, this, [this] {
        show();
        raise();
        activateWindow();
    });
    connect(&form_, &PortamentoForm::HideRequested, this, &QWidget::hide);
    Mirror();
}

void PortamentoWindow::Mirror() {
    optSoundStops_->setChecked(form_.optSoundStops);
    optSoundAlways_->setChecked(!form_.optSoundStops);
    for (auto [slider, value] : {std::pair{soundLengthSlider_, form_.SoundLengthSlider},
                                 std::pair{pitchMultipleSlider_, form_.PitchMultipleSlider}}) {
        const QSignalBlocker block(slider);
        slider->setValue(value);
    }
    lblSoundLength_->setText(form_.lblSoundLength);
}

void PortamentoWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    form_.CloseRequested();
}

} // namespace tq
