#include "interchange/view/InterchangeMenu.h"

#include "editor/view/MainWindow.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>

namespace tq {

namespace {

constexpr int kProgressSteps = 1000;

QAction* MakeAction(QMenu* menu, const char* name, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

InterchangeMenu::InterchangeMenu(MainWindow& window) : QObject(&window), window_(window) {
    FileMenu = new QMenu(QStringLiteral("&File"), window.MenuBar);
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    window.MenuBar->insertMenu(window.EditMenu->menuAction(), FileMenu);
    ImportAction = MakeAction(FileMenu, "ImportAction", QStringLiteral("&Import..."));
    ExportMenu = FileMenu->addMenu(QStringLiteral("&Export"));
    ExportMenu->setObjectName(QStringLiteral("ExportMenu"));
    ExportWavAction = MakeAction(ExportMenu, "ExportWavAction", QStringLiteral("&WAV..."));
    ExportMidiAction = MakeAction(ExportMenu, "ExportMidiAction", QStringLiteral("&MIDI..."));
    ExportRtttlAction =
        MakeAction(ExportMenu, "ExportRtttlAction", QStringLiteral("&RTTTL ringtone..."));
    ExportBeepScriptAction = MakeAction(ExportMenu, "ExportBeepScriptAction",
                                        QStringLiteral("&beep command script (.sh)..."));
    ExportSketchAction = MakeAction(ExportMenu, "ExportSketchAction",
                                    QStringLiteral("Microcontroller &sketch (.ino)..."));
}

void InterchangeMenu::Connect(InterchangeForm& form) {
    connect(ExportWavAction, &QAction::triggered, this, [&form] { form.ExportWavAction_Click(); });
    connect(ExportMidiAction, &QAction::triggered, this,
            [&form] { form.ExportMidiAction_Click(); });
    connect(ExportRtttlAction, &QAction::triggered, this,
            [&form] { form.ExportRtttlAction_Click(); });
    connect(ExportBeepScriptAction, &QAction::triggered, this,
            [&form] { form.ExportBeepScriptAction_Click(); });
    connect(ExportSketchAction, &QAction::triggered, this,
            [&form] { form.ExportSketchAction_Click(); });
    connect(ImportAction, &QAction::triggered, this, [&form] { form.ImportAction_Click(); });
}

InterchangeMenu::~InterchangeMenu() = default;

void InterchangeMenu::Start(const QString& title, const QString& text) {
    progress_ = std::make_unique<QProgressDialog>(text, QStringLiteral("Cancel"), 0, kProgressSteps,
                                                  &window_);
    progress_->setObjectName(QStringLiteral("ExportProgress"));
    progress_->setWindowTitle(title);
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setMinimumDuration(0);
    progress_->setMinimumWidth(360); // room for the title in the frame
    progress_->setValue(0);
}

bool InterchangeMenu::Update(double fraction) {
    // A modal progress dialog lets events through here, the Cancel click among them.
    progress_->setValue(static_cast<int>(fraction * kProgressSteps));
    return !progress_->wasCanceled();
}

void InterchangeMenu::Finish() {
    progress_.reset();
}

int InterchangeMenu::Choose(const QString& title, const QString& label, const QStringList& names) {
    QInputDialog dialog(&window_);
    dialog.setObjectName(QStringLiteral("TuneChooser"));
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setComboBoxItems(names);
    dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
    if (dialog.exec() != QDialog::Accepted) {
        return -1;
    }
    return static_cast<int>(names.indexOf(dialog.textValue()));
}

} // namespace tq
