#pragma once

#include "midiin/HeldNoteWindow.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <tuple>
#include <vector>

namespace tq {

class Clock;
class FileDialogs;
class MidiFileReader;

// The logic of the "MIDI File Playback Settings" window: a MIDI file decoded once into
// one time-ordered list of events, played against the clock into the window's table of
// held notes, which the cycling player plays.
class MIDIFileForm final : public HeldNoteWindow {
    Q_OBJECT
public:
    static inline const QString kTimerKey = QStringLiteral("fileplayback");
    static constexpr int kSliderMax = 1000;

    MIDIFileForm(MainForm& main, NamedTimers& timers, Clock& clock, FileDialogs& dialogs,
                 QObject* parent = nullptr);
    ~MIDIFileForm() override;

    // Makes sure the MIDI file reader component is installed and loaded and gives its
    // reader (null when it cannot be had; whoever installs it has then said why).
    void SetReaderProvider(std::function<MidiFileReader*()> provider) {
        provider_ = std::move(provider);
    }

    // UseMIDIFileCheck's click on the main window.
    void UseMIDIFileCheck_Click(bool ticked);
    void Load();

    // Chooses a file in the Open dialog and decodes it.
    void cmdBrowse_Click();
    // Decodes a file; false (with the message shown) when it is not one the reader takes.
    bool OpenFile(const QString& path);
    void cmdPlay_Click();
    void cmdStop_Click();
    void cmdRewind_Click();
    void chkLoop_Click(bool ticked);
    // The position slider moved by the user (0 to kSliderMax).
    void sldPosition_Change(int value);
    // The close box unticks "Play a MIDI file" on the main window.
    void CloseBoxClick();

    // What the window mirrors.
    bool IsLoaded() const { return loaded_; }
    bool IsVisible() const { return visible_; }
    bool IsPlaying() const { return playing_; }
    bool Loop() const { return loop_; }
    const QString& FileText() const { return fileText_; }
    bool PlaybackControlsEnabled() const { return controlsEnabled_; }
    int SliderValue() const { return sliderValue_; }
    const QString& PosPercent() const { return posPercent_; }
    const QString& PosSecs() const { return posSecs_; }
    bool InfoTextVisible() const { return infoVisible_; }

    // The decoded song.
    int32_t TotalEvents() const { return static_cast<int32_t>(times_.size()); }
    int32_t PlayPos() const { return playPos_; }
    int32_t SongLength() const { return songLength_; }
    const std::vector<double>& EventTimes() const { return times_; }

signals:
    // Paint the progress text now: decoding keeps the event loop from running.
    void ShowInfoText(const QString& text);

protected:
    // The playback tick.
    void Step() override;

private:
    int64_t NowMs();
    bool CheckSongEnd();
    void SimulateMIDIMessage(int note, int velocity, int status);
    void ShowFilePosition();
    void ShowSongEnd();
    void SetPlaybackControlsEnabled(bool enabled);
    void SetSlider(int value);
    QString TimeText(double ms) const;

    Clock& clock_;
    FileDialogs& dialogs_;
    std::function<MidiFileReader*()> provider_;
    bool loaded_ = false;
    bool visible_ = false;
    bool playing_ = false;
    bool loop_ = false;
    bool controlsEnabled_ = false;
    bool updatingSlider_ = false;
    bool infoVisible_ = false;
    QString fileText_;
    int sliderValue_ = 0;
    QString posPercent_ = QStringLiteral("100.00%");
    QString posSecs_ = QStringLiteral("00:00.00");
    std::vector<double> times_;
    std::vector<std::array<uint8_t, 3>> bytes_; // note, velocity, status
    int32_t songLength_ = 0;
    int32_t playPos_ = 0;
    int64_t startOffset_ = 0;
    std::tuple<QString, QString, int> shownPosition_;
    MidiFileReader* reader_ = nullptr;
};

} // namespace tq
