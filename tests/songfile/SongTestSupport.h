#pragma once

#include "CapturingLog.h"
#include "FakeSongTarget.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/ScriptedMessageBoxes.h"
#include "songfile/LoadProgress.h"
#include "songfile/SongFile.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <sys/types.h>
#include <unistd.h>

namespace tq {

// Records what the reader shows in the Save/Load window, in order.
class RecordingProgress final : public LoadProgress {
public:
    void ShowHideInfoText(bool show) override { events << (show ? "show" : "hide"); }
    void SetInfoText(const QString& text) override { events << QStringLiteral("text ") + text; }
    void Repaint() override { events << QStringLiteral("repaint"); }

    bool ShowedByteByByte() const {
        return !events.filter(QStringLiteral("text Loading byte-by-byte...")).isEmpty();
    }

    QStringList events;
};

// A song reader and writer wired to fakes.
struct SongRig {
    FakeSongTarget target;
    RecordingProgress progress;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    CapturingLog log;
    SongFile song{target, progress, boxes, dialogs, log};

    QStringList BoxTitles() const {
        QStringList titles;
        for (const auto& b : boxes.Boxes()) {
            titles << b.title;
        }
        return titles;
    }
};

// A song file: the format line, the settings lines, MUSICLISTSTART and the list lines,
// each ending in CR LF.
inline QByteArray SongBytes(const QStringList& settings, const QStringList& list) {
    const QStringList lines = QStringList{"Tonquill by Vellomar file format"} + settings +
                              QStringList{"MUSICLISTSTART"} + list;
    return (lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n")).toUtf8();
}

inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Runs the enclosed code as the unprivileged user "nobody" when the tests run as root, so
// that permission bits count; the saved user id lets the destructor switch back.
class AsUnprivilegedUser {
public:
    AsUnprivilegedUser() {
        if (getuid() == 0) {
            active_ = setresgid(65534, 65534, 0) == 0 && setresuid(65534, 65534, 0) == 0;
        }
    }
    ~AsUnprivilegedUser() {
        if (active_) {
            (void)setresuid(0, 0, 0);
            (void)setresgid(0, 0, 0);
        }
    }
    AsUnprivilegedUser(const AsUnprivilegedUser&) = delete;
    AsUnprivilegedUser& operator=(const AsUnprivilegedUser&) = delete;

private:
    bool active_ = false;
};

} // namespace tq
