// mendalot [--batch]: copies the component files of a Tonquill copy that needs them from this
// folder into the system folder and registers them. With --batch there is no window: each
// message becomes a line on stderr, answered OK.
#include "app/CommandLine.h"
#include "core/NonLockingSleep.h"
#include "diag/DataFolder.h"
#include "fixer/FixForm.h"
#include "fixer/FixWindow.h"
#include "platform/Clipboard.h"
#include "platform/QtClipboard.h"
#include "platform/QtEventPump.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtProcessLauncher.h"
#include "platform/SteadyClock.h"
#include "platform/StreamMessageBoxes.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace {

// In the form of the other programs' help, which the shell completion reads.
const char kHelp[] = "Usage: mendalot [options]\n"
                     "Copies the component files in its own folder into the system folder\n"
                     "($windir/system32, or ~/.local/share/tonquill/system32) and registers them.\n"
                     "Exit codes: 0 done, 1 a file could not be put in place, 2 bad arguments.\n"
                     "\n"
                     "Options:\n"
                     "  -h, --help  Print the options and exit.\n"
                     "  --batch     No window: each message is a line on stderr, answered OK.\n";

// Without a screen there is no clipboard: the address is in the message line anyway.
class NoClipboard final : public tq::Clipboard {
public:
    void SetText(const QString&) override {}
    tq::ClipboardReach Reach() override { return tq::ClipboardReach::None; }
};

struct Services {
    tq::SteadyClock clock;
    tq::QtEventPump pump;
    tq::NonLockingSleep sleep{clock, pump};
    tq::QtProcessLauncher launcher;
};

tq::FixForm::Deps MakeDeps(Services& s, tq::MessageBoxes& boxes, tq::Clipboard& clipboard) {
    const QString folder = QCoreApplication::applicationDirPath();
    return {boxes, s.sleep, clipboard, s.launcher, folder, tq::DataFolder(folder)};
}

int RunBatch(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Services s;
    tq::StreamMessageBoxes boxes;
    NoClipboard clipboard;
    tq::FixForm form(MakeDeps(s, boxes, clipboard));
    return form.Form_Load();
}

int RunWindow(int argc, char** argv) {
    QApplication app(argc, argv);
    Services s;
    tq::QtMessageBoxes boxes;
    tq::QtClipboard clipboard;
    tq::FixForm form(MakeDeps(s, boxes, clipboard));
    tq::FixWindow window(form);
    boxes.SetParent(&window);
    window.show();
    window.repaint();
    QCoreApplication::processEvents();
    return form.Form_Load();
}

} // namespace

int main(int argc, char** argv) {
    bool batch = false;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--batch")) {
            batch = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(kHelp, stdout);
            return 0;
        } else {
            return tq::cli::Refuse(QStringLiteral("mendalot"),
                                   arg.startsWith(QLatin1Char('-'))
                                       ? QStringLiteral("unknown option '%1'").arg(arg)
                                       : QStringLiteral("unexpected argument '%1'").arg(arg));
        }
    }
    return batch ? RunBatch(argc, argv) : RunWindow(argc, argv);
}
