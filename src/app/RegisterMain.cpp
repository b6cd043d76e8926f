// tonquill-register FILE MARKER: run by the component installer after it has copied FILE
// into the system folder; see RegisterComponent. Exit code 0 when FILE stays, 1 when it was
// removed, 2 for wrong arguments. The reason for a removal is the one line on stdout: the
// installer logs it and shows it.
#include "diag/ComponentRegistration.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fputs("usage: tonquill-register FILE MARKER\n", stderr);
        return 2;
    }
    QString why;
    const tq::RegistrationResult result = tq::RegisterComponent(args[1], args[2], &why);
    if (result == tq::RegistrationResult::Removed) {
        std::printf("tonquill-register: removed %s: %s\n", qPrintable(args[1]),
                    qPrintable(why.simplified()));
    }
    return static_cast<int>(result);
}
