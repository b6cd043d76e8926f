#pragma once

#include <QWidget>

#include <vector>

class QSlider;

namespace tq {

class VoiceInternalForm;
struct VoiceSlider;

// The "Voice Internals" window: a drawing of the voice graph with the sliders sitting on
// the groups and DSPs they change. Mirrors VoiceInternalForm and forwards the user's scrolls
// and vowel clicks.
class VoiceInternalWindow final : public QWidget {
    Q_OBJECT
public:
    explicit VoiceInternalWindow(VoiceInternalForm& form, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Bound {
        QSlider* slider;
        const VoiceSlider* state;
    };

    void Mirror();

    VoiceInternalForm& form_;
    std::vector<Bound> sliders_;
};

} // namespace tq
