#include "interchange/ToneExport.h"

#include "core/FileWriter.h"
#include "interchange/BeepScript.h"
#include "interchange/ToneSequence.h"
#include "interchange/ToneSketch.h"

#include <QFile>
#include <QFileInfo>

namespace tq {

SongWavRenderer::Outcome ExportTones(ToneFormat format, const QByteArray& song,
                                     const RenderOptions& options, const QString& songName,
                                     const QString& path, MessageBoxes& boxes, LogSink& log,
                                     QString* why, const SongWavRenderer::Progress& progress) {
    using Outcome = SongWavRenderer::Outcome;
    bool stopped = false;
    const std::optional<ToneSequence> sequence =
        RenderToneSequence(song, options, boxes, log, why, progress, &stopped);
    if (!sequence) {
        return Outcome::Failed;
    }
    if (stopped) {
        return Outcome::Stopped;
    }
    const bool script = format == ToneFormat::BeepScript;
    const QByteArray text =
        script ? BeepScript(*sequence, songName) : ToneSketch(*sequence, songName);
    if (!WriteFileReplacing(path, text, why)) {
        return Outcome::Failed;
    }
    // A pipe or device written to has no permissions of its own to change.
    if (script && QFileInfo(path).isFile()) {
        QFile::setPermissions(path, ExecutablePermissions(QFile::permissions(path)));
    }
    return sequence->cut ? Outcome::Cut : Outcome::Written;
}

} // namespace tq
