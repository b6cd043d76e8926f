#include "interchange/view/InterchangeMenu.h"

#include "editor/view/MainWindow.h"

#include <QAction>
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
    ExportWavAction = MakeAction(FileMenu, "ExportWavAction", QStringLiteral("Export &WAV..."));
    ExportMidiAction = MakeAction(FileMenu, "ExportMidiAction", QStringLiteral("Export &MIDI..."));
    FileMenu->addSeparator();
    ImportMidiAction = MakeAction(FileMenu, "ImportMidiAction", QStringLiteral("&Import MIDI..."));
}

void InterchangeMenu::Connect(InterchangeForm& form) {
    connect(ExportWavAction, &QAction::triggered, this, [&form] { form.ExportWavAction_Click(); });
    connect(ExportMidiAction, &QAction::triggered, this,
            [&form] { form.ExportMidiAction_Click(); });
    connect(ImportMidiAction, &QAction::triggered, this,
            [&form] { form.ImportMidiAction_Click(); });
}

InterchangeMenu::~InterchangeMenu() = default;

void InterchangeMenu::Start(const QString& text) {
    progress_ = std::make_unique<QProgressDialog>(text, QStringLiteral("Cancel"), 0, kProgressSteps,
                                                  &window_);
    progress_->setObjectName(QStringLiteral("ExportProgress"));
    progress_->setWindowTitle(QStringLiteral("Export WAV"));
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setMinimumDuration(0);
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

} // namespace tq
