#pragma once

#include "core/NonLockingSleep.h"
#include "editor/MainForm.h"
#include "editor/MainFormSongTarget.h"
#include "platform/DeviceSpeaker.h"
#include "platform/VirtualClock.h"
#include "playback/ToneDispatcher.h"
#include "playback/ToneOutputs.h"

#include <QByteArray>
#include <QString>

namespace tq {

class LogSink;
class MessageBoxes;
class SongWavRenderer;

// The main window's logic without a window, holding one song: loaded by the program's
// reader, saved by its writer, and played on a renderer's virtual clock.
class HeadlessSong {
public:
    // Silent: for reading and writing songs.
    HeadlessSong(MessageBoxes& boxes, LogSink& log);
    // Plays into the renderer's speaker.
    HeadlessSong(SongWavRenderer& renderer, MessageBoxes& boxes, LogSink& log);

    MainForm& Form() { return form_; }
    SongTarget& Target() { return target_; }
    ToneDispatcher& Tones() { return tones_; }

    // False when the file is not a readable song or tune (see LoadSongFile).
    bool LoadFile(const QString& path, const QString& tune = QString());
    // A song file's bytes, read as the reader reads a file.
    void LoadBytes(const QByteArray& song);
    // The song file as the writer saves it.
    QByteArray FileBytes() const;

private:
    HeadlessSong(Clock& clock, EventPump& pump, Speaker& speaker, MessageBoxes& boxes,
                 LogSink& log);

    VirtualClock silentClock_;
    VirtualEventPump silentPump_{silentClock_};
    NullSpeaker silentSpeaker_;
    MessageBoxes& boxes_;
    LogSink& log_;
    NonLockingSleep sleep_;
    OutputSwitches switches_;
    ToneDispatcher tones_;
    MainForm form_;
    MainFormSongTarget target_{form_};
};

} // namespace tq
