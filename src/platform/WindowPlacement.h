#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>

class QSettings;
class QWidget;

namespace tq {

// Where the secondary windows open: over the main window, centred on it the first time, and
// then where the user last left them (kept in the settings by the window's object name),
// always on a screen that is there. Windows kept above the main window have it as their
// transient parent, so the window manager treats them as its tool windows; their own
// show and hide logic is left as it is.
class WindowPlacement final : public QObject {
    Q_OBJECT
public:
    enum class Stacking { AboveMain, Free };

    WindowPlacement(QWidget& main, QSettings& settings);

    void Manage(QWidget& window, Stacking stacking = Stacking::AboveMain);
    // Keeps where the open windows are; the program ends without hiding them.
    void SaveAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place(QWidget& window);
    void Save(QWidget& window);

    QWidget& main_;
    QSettings& settings_;
    QList<QPointer<QWidget>> windows_;
    QSet<QWidget*> aboveMain_;
    // Placed in this run: shown again, a window comes back where it was hidden.
    QSet<QWidget*> placed_;
};

} // namespace tq
