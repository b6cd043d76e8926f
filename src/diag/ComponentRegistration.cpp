#include "diag/ComponentRegistration.h"

#include "platform/Components.h"

#include <QFile>
#include <QFileInfo>

namespace tq {

namespace {

QString Rejection(const QString& copiedFile) {
    if (!QFileInfo(copiedFile).isFile()) {
        return copiedFile + QStringLiteral(" is not a file");
    }
    const ComponentKind* kind = FindComponentKind(copiedFile);
    QString why;
    if (kind != nullptr && !LoadComponent(copiedFile, *kind, &why)) {
        return why;
    }
    return QString();
}

} // namespace

RegistrationResult RegisterComponent(const QString& copiedFile, const QString& markerFile,
                                     QString* why) {
    const QString rejection = Rejection(copiedFile);
    if (!rejection.isEmpty()) {
        QFile::remove(copiedFile);
        if (why) {
            *why = rejection;
        }
    }
    QFile::remove(markerFile);
    return rejection.isEmpty() ? RegistrationResult::Registered : RegistrationResult::Removed;
}

} // namespace tq
