#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimer>

#include <functional>
#include <utility>

class QCheckBox;

namespace tq {

class MainForm;
class MainWindow;

// Ties the main window's widgets to its logic: user input goes to the logic's handlers,
// and every control the logic reports as changed is redrawn from the logic's state.
// Writing a widget from here never feeds back into the logic.
class MainFormBinding final : public QObject {
    Q_OBJECT
public:
    MainFormBinding(MainForm& form, MainWindow& window);

    // Redraws every control from the logic.
    void RefreshAll();

    // How long the "BEEP" lamp stays lit after a tone, bridging the gaps between tones.
    static constexpr int kLampHoldMs = 60;
    // How often the list and the position labels follow a playing song at most.
    static constexpr int kPlayFrameMs = 40;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ConnectNoteEntry();
    void ConnectSettings();
    void ConnectPlayback();
    void ConnectList();
    void ConnectCheck(QCheckBox* box, const std::function<void(bool)>& handler);
    // A box the song file carries: each click is an undo step.
    void ConnectSongCheck(QCheckBox* box, void (MainForm::*setter)(bool));
    void BuildRefreshers();
    void Refresh(const QString& name);
    void RefreshPosition();
    void ScheduleViewSync();
    void SyncView();
    void SyncListSelection();
    void ShowBeepLamp(bool sounding);

    MainForm& form_;
    MainWindow& w_;
    QHash<QString, std::function<void()>> refreshers_;
    bool syncingSelection_ = false;
    bool listDirty_ = false;
    bool positionDirty_ = false;
    bool syncQueued_ = false;
    int scrollLine_ = 0;
    int insertedLine_ = 0; // the last line the latest insert made
    QTimer viewSync_;
    QElapsedTimer sinceSync_;
    QTimer lampOff_;
};

} // namespace tq
