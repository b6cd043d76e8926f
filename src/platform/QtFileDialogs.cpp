#include "platform/QtFileDialogs.h"

#include <QFileDialog>

namespace tq {

QStringList QtFileDialogs::NameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            patterns << pattern;
            if (pattern.toLower() != pattern) {
                patterns << pattern.toLower();
            }
        }
        patterns.removeDuplicates();
        if (patterns.isEmpty()) {
            continue;
        }
        // Qt reads the patterns from the last parentheses, so a description that
        // already shows them in parentheses has them replaced rather than repeated.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0 && description.endsWith(QLatin1Char(')'))) {
            description = description.left(open).trimmed();
        }
        filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

QString QtFileDialogs::Run(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(parent_, request.title);
    dialog.setNameFilters(NameFilters(request.filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode((request.flags & kFileMustExist) ? QFileDialog::ExistingFile
                                                        : QFileDialog::AnyFile);
    // The callers ask about replacing a file themselves.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

QString QtFileDialogs::Save(const FileDialogRequest& request) {
    return Run(request, true);
}

QString QtFileDialogs::Open(const FileDialogRequest& request) {
    return Run(request, false);
}

} // namespace tq
