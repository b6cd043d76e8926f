#include "core/NoteFrequencies.h"

#include "core/Rounding.h"
#include "platform/MessageBoxes.h"

#include <algorithm>
#include <array>

namespace tq {

namespace {

constexpr std::array<double, 12> kOctave7 = {2093,    2217.46, 2349.32, 2489.02, 2637.02, 2793.83,
                                             2959.96, 3135.96, 3322.44, 3520,    3729.31, 3951.07};

const std::array<QString, 12>& Names() {
    static const std::array<QString, 12> names = {
        QStringLiteral("C"),  QStringLiteral("C#"), QStringLiteral("D"),  QStringLiteral("D#"),
        QStringLiteral("E"),  QStringLiteral("F"),  QStringLiteral("F#"), QStringLiteral("G"),
        QStringLiteral("G#"), QStringLiteral("A"),  QStringLiteral("A#"), QStringLiteral("B")};
    return names;
}

} // namespace

int16_t LetterToNoteNum(const QString& letterAndOctave, MessageBoxes& boxes) {
    // Two-character names first, so "C#" is not taken for "C".
    static const std::array<std::pair<const char*, int16_t>, 5> sharps = {
        {{"C#", 1}, {"D#", 3}, {"F#", 6}, {"G#", 8}, {"A#", 10}}};
    const QString two = letterAndOctave.left(2);
    for (const auto& [name, num] : sharps) {
        if (two == QLatin1String(name)) {
            return num;
        }
    }
    static const std::array<std::pair<char, int16_t>, 7> naturals = {
        {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}, {'A', 9}, {'B', 11}}};
    if (!letterAndOctave.isEmpty()) {
        const QChar first = letterAndOctave.at(0);
        for (const auto& [name, num] : naturals) {
            if (first == QLatin1Char(name)) {
                return num;
            }
        }
    }
    boxes.Show(QStringLiteral("LetterToNoteNum function"),
               QStringLiteral("LetterAndOctave is *") + letterAndOctave + QStringLiteral("*\n") +
                   QStringLiteral("The first 1 or 2 characters aren't a recognized note name.\n") +
                   QStringLiteral("(Returning -1 as the note number - this may cause errors!)"),
               MsgButtons::Ok, MsgIcon::Exclamation);
    return -1;
}

double NoteNumToFrequency(int noteNum, double octave) {
    if (noteNum < 0 || noteNum > 11) {
        return 0;
    }
    // Doubling in double precision keeps whole values exact, as integer doubling would.
    double value = static_cast<double>(RoundToInt16(kOctave7[static_cast<size_t>(noteNum)]));
    int d = RoundToInt16(octave - 7);
    for (; d > 0; --d) {
        value *= 2;
    }
    for (; d < 0; ++d) {
        value /= 2;
    }
    return value;
}

QString NoteNumToLetter(int noteNum) {
    if (noteNum >= 0 && noteNum <= 11) {
        return Names()[static_cast<size_t>(noteNum)];
    }
    return noteNum == -1 ? QStringLiteral("-") : QString();
}

QString NoteNumToNoteString(int noteNum, int octave, bool keepOctave, int motorOctave) {
    const QString name = NoteNumToLetter(noteNum);
    if (!keepOctave) {
        octave -= motorOctave;
        if (octave < 1) {
            octave = 1;
        }
        if (octave > 3 && noteNum <= 5) {
            octave = 3;
        }
        if (octave >= 3 && noteNum > 5) {
            octave = 2;
        }
    }
    return name + QString::number(octave);
}

int OctaveOfNoteString(const QString& noteString) {
    // The whole number: MIDI notes 120 to 127 are named "C10" to "G10".
    qsizetype first = noteString.size();
    while (first > 0 && noteString[first - 1] >= u'0' && noteString[first - 1] <= u'9') {
        --first;
    }
    int octave = 0;
    for (qsizetype i = first; i < noteString.size(); ++i) {
        octave = std::min(octave * 10 + (noteString[i].unicode() - u'0'), kMostOctave);
    }
    return octave;
}

} // namespace tq
