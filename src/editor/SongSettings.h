#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace tq {

class MainForm;

// The kinds of settings change the user makes, each one undo step; changes of one kind in a
// row (a tempo typed digit by digit, a slider dragged) make one step together.
enum class SettingKind {
    Octave,
    NoteLength,
    Tempo,
    AlternateTime,
    NoteSilenceRatio,
    TimeSig,
    Option
};
// "Tempo change" and so on, as the Edit menu shows it after "Undo".
QString SettingKindText(SettingKind kind);

// The settings a song file carries, as the main window shows them: each variable with the
// text of its box, so that putting them back shows the window as it was, an orange box
// included.
struct SongSettings {
    uint8_t KeyboardOctave = 4;
    QString KeyboardOctaveText;
    int32_t BPM = 140;
    QString BPMText;
    int32_t TimeSig = 4;
    int NoteSilenceRatio = 50;
    int NoteLengthIndex = 3;
    int16_t AlternateTime = 30;
    QString AlternateTimeText;
    std::array<int, 8> Checks{}; // by SongCheck
    bool AddNote1 = true;
    bool AddNote2 = false;

    friend bool operator==(const SongSettings&, const SongSettings&) = default;
};

// The time signatures TimeSigSlider offers, in beats per bar.
constexpr int32_t kMinTimeSig = 1;
constexpr int32_t kMaxTimeSig = 32;

SongSettings CaptureSongSettings(MainForm& form);
// Puts the settings back the way the song reader sets them, each control through its own
// handler and only where it differs, so dependent state follows as after a user's change.
void ApplySongSettings(MainForm& form, const SongSettings& settings);

} // namespace tq
