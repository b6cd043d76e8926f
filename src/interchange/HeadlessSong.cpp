#include "interchange/HeadlessSong.h"

#include "fmodtone/OfflineSpeaker.h"
#include "interchange/InterchangeFiles.h"
#include "interchange/SongWavRenderer.h"
#include "platform/ScriptedFileDialogs.h"
#include "songfile/LoadProgress.h"
#include "songfile/SongFile.h"
#include "songfile/SongFormat.h"

namespace tq {

HeadlessSong::HeadlessSong(MessageBoxes& boxes, LogSink& log)
    : HeadlessSong(silentClock_, silentPump_, silentSpeaker_, boxes, log) {}

HeadlessSong::HeadlessSong(SongWavRenderer& renderer, MessageBoxes& boxes, LogSink& log)
    : HeadlessSong(renderer.Clock(), renderer.Pump(), renderer.Speaker(), boxes, log) {}

HeadlessSong::HeadlessSong(Clock& clock, EventPump& pump, Speaker& speaker, MessageBoxes& boxes,
                           LogSink& log)
    : boxes_(boxes), log_(log), sleep_(clock, pump), tones_(log, boxes, sleep_, speaker, switches_),
      form_({log, boxes, sleep_, tones_, switches_}) {
    form_.State().TickFreq = clock.PerformanceFrequency();
}

bool HeadlessSong::LoadFile(const QString& path, const QString& tune) {
    return LoadSongFile(path, target_, boxes_, log_, tune);
}

void HeadlessSong::LoadBytes(const QByteArray& song) {
    NullLoadProgress progress;
    ScriptedFileDialogs noDialogs;
    SongFile(target_, progress, boxes_, noDialogs, log_).LoadSongBytes(song);
}

QByteArray HeadlessSong::FileBytes() const {
    return SongText(target_);
}

} // namespace tq
