#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace tq {

enum PlayerExitCode {
    kPlayed = 0,
    kStoppedBySignal = 1,
    kBadArguments = 2,
    kNotASong = 3,
    kNotWritten = 4
};

// What tonquill-play was asked to do.
struct PlayerOptions {
    QString song; // a song file, a MIDI file or ringtone text
    bool songIsMidiFile = false;
    // Of ringtone text with several tunes, the one to play (see FindTune); empty: the first.
    QString tune;
    int passes = 1;
    QString speaker = QStringLiteral("auto");
    QString wav;
    QString toneCode;
    QString debugLog;
    bool listMidi = false;
    QString midiOut; // empty: no MIDI output
    int midiChannel = 1;
    int midiInstrument = 1;
    // Octaves added to MIDI note numbers going out, and taken from those coming in or read
    // from a MIDI file: 0 keeps the program's own numbering, +1 is General MIDI's.
    int midiOctave = 0;
    // MIDI input and MIDI files: the cycling player.
    QString midiIn;  // empty: no live input
    int seconds = 0; // 0: none given, until the end (a file) or Ctrl+C (live input)
    std::array<bool, 16> channels{true, true, true, true, true, true, true, true,
                                  true, true, true, true, true, true, true, true};
    bool once = false;
    int alternateTime = 0; // 0: the program's own
    bool noAutoTime = false; // set by --alternate-time too
    bool loop = false;
    // The formant voice sings Note 2, with the vowel 'A', 'E', 'I', 'O' or 'U'.
    bool voice = false;
    char vowel = 'A';
    // The beat sound on every beat ("all") or on odd beats ("odd"); empty: off.
    QString beat;
    // The portamento glide, with its speed of pitch change and its sound length in ms
    // (0: always sounding).
    bool portamento = false;
    double glide = 1.2;
    int soundLength = 250;
    // The motor-speed mod on the serial port, with the motor octave slider's value.
    bool motor = false;
    int motorOctave = 2;
    // Synchronized play: the time of day HH:MM:SS to start at (empty: at once), the line to
    // start from (0: the first) and the start in delay of the soundcard's buffer.
    QString startAt;
    int fromLine = 0;
    bool startInDelay = false;
};

// The arguments, the program's name first. False when they are wrong: the mistake is then a
// line on stderr, followed by where the help is. Exits after printing the help.
bool ParsePlayerArguments(const QStringList& arguments, PlayerOptions& o);

// Whether a file is a MIDI file, by its first bytes.
bool IsMidiFile(const QString& path);

} // namespace tq
