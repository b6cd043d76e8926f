#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

namespace tq {

class ToneDispatcher;

// A small window to try the tone path by hand: it plays a C major scale through UniBeep
// on the chosen speaker.
class ToneTryWindow final : public QWidget {
    Q_OBJECT
public:
    ToneTryWindow(ToneDispatcher& tones, const QString& speakerName, QWidget* parent = nullptr);

private:
    void PlayScale();

    ToneDispatcher& tones_;
    QPushButton* playButton_;
    QCheckBox* muteCheck_;
};

} // namespace tq
