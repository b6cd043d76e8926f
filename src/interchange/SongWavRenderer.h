#pragma once

#include "core/FileWriter.h"
#include "platform/EventPump.h"
#include "platform/VirtualClock.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <string>

namespace tq {

// How the song is played, as tonquill-play's options of the same names play it.
struct RenderOptions {
    // "all", "odd" for the odd beats only, or empty for no beat sound.
    QString beat;
    bool portamento = false;
    double glide = 1.2;
    // How long the glide sounds from each note's start, in ms; 0: always.
    int soundLength = 250;
};

class LogSink;
class MainForm;
class MessageBoxes;
class OfflineSpeaker;

// Plays a song on a virtual clock into the offline speaker and writes what it played as a
// WAV file (48 kHz, mono): the same file for the same song on every run. The headless
// player, the converter and the window's export all render through it. The file is written
// as the song plays, through the one writer, so a render of an hour is never held whole.
class SongWavRenderer {
public:
    // The share of the play done so far, 0 to 1; false asks to stop.
    using Progress = std::function<bool(double fraction)>;
    // Cut: written, but only the first hour (see OfflineSpeaker::kMaxFrames).
    enum class Outcome { Written, Cut, Stopped, Failed };

    SongWavRenderer();
    ~SongWavRenderer();

    // False, with the reason, when the offline speaker cannot be set up.
    bool OpenSpeaker(QString* why);

    VirtualClock& Clock() { return clock_; }
    // The queue timers are scheduled on.
    VirtualEventPump& EventQueue() { return queue_; }
    // What the player waits on: the event queue, with progress reported while playing.
    EventPump& Pump() { return pump_; }
    OfflineSpeaker& Speaker() { return *speaker_; }

    // Plays the form's song from its first line, passes times, as Play all does. False
    // when progress asked to stop.
    bool Play(MainForm& form, int passes, const Progress& progress = {});
    // One pass of a song file's bytes, its mods switched on as the options ask; done then
    // sees the song as it was played. False when progress asked to stop.
    bool PlayOnce(const QByteArray& song, const RenderOptions& options, MessageBoxes& boxes,
                  LogSink& log, const Progress& progress = {},
                  const std::function<void(MainForm&)>& done = {});
    // Starts the file at path, before playing: what the speaker plays from now on goes to
    // it. False, with the reason, when it cannot be written.
    bool StartFile(const QString& path, QString* why);
    // Puts the file in place with what has been played; false, with the reason, when it
    // cannot be written. A file started and not finished is removed with the renderer.
    bool FinishFile(QString* why);
    // Whether what was played ran past the longest render, so the file holds its first hour.
    bool Cut() const;
    // Says so, of what was written ("The WAV file").
    static QString CutNote(const QString& written = QStringLiteral("The WAV file"));

    // One pass of a song, given as a song file's bytes, into a WAV file at path. Nothing
    // is left at path when it stops or fails.
    static Outcome RenderSong(const QByteArray& song, const QString& path, MessageBoxes& boxes,
                              LogSink& log, const Progress& progress, QString* why,
                              const RenderOptions& options = {});

private:
    // Passes the waits through and reports progress after each round of events.
    class ProgressPump final : public EventPump {
    public:
        explicit ProgressPump(SongWavRenderer& owner) : owner_(owner) {}
        bool WaitForInput(int32_t timeoutMs) override {
            return owner_.queue_.WaitForInput(timeoutMs);
        }
        void ProcessPendingEvents() override;

    private:
        SongWavRenderer& owner_;
    };

    VirtualClock clock_;
    VirtualEventPump queue_{clock_};
    ProgressPump pump_{*this};
    std::unique_ptr<OfflineSpeaker> speaker_;
    ReplacingFileStream file_;
    // Samples as the file holds them, gathered into writes of a useful size.
    std::string pending_;
    int64_t dataBytes_ = 0;
    // While Play runs with a progress callback.
    MainForm* playing_ = nullptr;
    const Progress* progress_ = nullptr;
    int64_t startNs_ = 0;
    double lengthNs_ = 0;
    double reported_ = 0;
    bool stopped_ = false;
};

} // namespace tq
