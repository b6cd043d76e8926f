#pragma once

#include "interchange/InterchangeForm.h"

#include <QObject>

#include <memory>

class QAction;
class QMenu;
class QProgressDialog;

namespace tq {

class MainWindow;

// The main window's File menu, put before its Edit menu, and the export's progress
// dialog.
class InterchangeMenu final : public QObject, public ExportProgress, public TuneChooser {
    Q_OBJECT
public:
    explicit InterchangeMenu(MainWindow& window);
    ~InterchangeMenu() override;

    // The menu's commands run the form's handlers.
    void Connect(InterchangeForm& form);

    QMenu* FileMenu;
    QAction* ImportAction;
    QMenu* ExportMenu;
    QAction* ExportWavAction;
    QAction* ExportMidiAction;
    QAction* ExportRtttlAction;
    QAction* ExportBeepScriptAction;
    QAction* ExportSketchAction;

    // ExportProgress
    void Start(const QString& title, const QString& text) override;
    bool Update(double fraction) override;
    void Finish() override;

    // TuneChooser: a list to pick from.
    int Choose(const QString& title, const QString& label, const QStringList& names) override;

private:
    MainWindow& window_;
    std::unique_ptr<QProgressDialog> progress_;
};

} // namespace tq
