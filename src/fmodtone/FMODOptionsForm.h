#pragma once

#include <QWidget>

class QCheckBox;
class QRadioButton;

namespace tq {

class FmodOptions;

// "FMOD Settings": mirrors FmodOptions and forwards clicks to it. Its close box only
// hides it.
class FMODOptionsForm final : public QWidget {
    Q_OBJECT
public:
    explicit FMODOptionsForm(FmodOptions& options, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Mirror();

    FmodOptions& options_;
    QRadioButton* optSine_;
    QRadioButton* optSquare_;
    QRadioButton* optTriangle_;
    QRadioButton* optNoise_;
    QCheckBox* neverSilentCheck_;
};

} // namespace tq
