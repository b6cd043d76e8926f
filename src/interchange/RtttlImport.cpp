// Ringtone text in. Lengths are counted in 64ths of a whole note while reading; a tune
// that uses 32nds or 64ths is then played at twice or four times its BPM, so that every
// length, multiplied as much, is one the program has.
#include "interchange/RtttlImport.h"

#include "songfile/SongTarget.h"

#include <QList>

#include <algorithm>

namespace tq {

namespace {

constexpr int kWhole = 64;

// The program's lengths in 64ths, longest first; dotted ones as a length and "Dot".
struct LengthName {
    int units;
    const char* length;
    bool dotted;
};
constexpr LengthName kLengths[] = {
    {96, "Whole", true},   {64, "Whole", false},   {48, "Half", true}, {32, "Half", false},
    {24, "Quarter", true}, {16, "Quarter", false}, {12, "1/8", true},  {8, "1/8", false},
    {6, "1/16", true},     {4, "1/16", false},
};

struct Note {
    int units = 0; // before the tune's length scale
    QString name;  // empty for a pause
};

// A tune's text with its white space gone, and where each character stood in the line.
struct Packed {
    QString text;
    QList<int> column; // 1-based
};

Packed Pack(const QString& line) {
    Packed p;
    for (int i = 0; i < line.size(); ++i) {
        if (!line[i].isSpace()) {
            p.text += line[i].toLower();
            p.column << i + 1;
        }
    }
    return p;
}

bool ReadNumber(const QString& text, int& pos, int* value) {
    const int start = pos;
    while (pos < text.size() && text[pos].isDigit() && pos - start < 6) {
        ++pos;
    }
    if (pos == start) {
        return false;
    }
    *value = text.mid(start, pos - start).toInt();
    return true;
}

bool IsDuration(int d) {
    return d == 1 || d == 2 || d == 4 || d == 8 || d == 16 || d == 32 || d == 64;
}

class TuneReader {
public:
    TuneReader(const QString& line, int lineNumber)
        : line_(line), p_(Pack(line)), name_(line.left(line.indexOf(QLatin1Char(':'))).trimmed()),
          lineNumber_(lineNumber) {}

    bool Read(RtttlTune* tune, QString* why) {
        const QString& t = p_.text;
        const int firstColon = static_cast<int>(t.indexOf(QLatin1Char(':')));
        if (firstColon < 0) {
            return Fail(0, QStringLiteral("no ':' after the tune's name"), why);
        }
        tune->name = name_; // in its own spelling and spaces
        int secondColon = static_cast<int>(t.indexOf(QLatin1Char(':'), firstColon + 1));
        int notesAt = firstColon + 1;
        if (secondColon >= 0) {
            if (!ReadControls(firstColon + 1, secondColon, why)) {
                return false;
            }
            notesAt = secondColon + 1;
        }
        tune->bpm = bpm_;
        std::vector<Note> notes;
        if (!ReadNotes(notesAt, &notes, why)) {
            return false;
        }
        MakeLines(notes, tune);
        return true;
    }

private:
    bool ReadControls(int from, int to, QString* why) {
        const QString& t = p_.text;
        int pos = from;
        while (pos < to) {
            const int comma = static_cast<int>(t.indexOf(QLatin1Char(','), pos));
            const int end = comma < 0 || comma > to ? to : comma;
            const int eq = static_cast<int>(t.indexOf(QLatin1Char('='), pos));
            if (eq < 0 || eq > end) {
                return Fail(pos, QStringLiteral("a control is not name=value"), why);
            }
            const QString key = t.mid(pos, eq - pos);
            int at = eq + 1;
            int value = 0;
            if (!ReadNumber(t, at, &value) || at != end) {
                if (key == QLatin1String("d") || key == QLatin1String("o") ||
                    key == QLatin1String("b")) {
                    return Fail(eq + 1, QStringLiteral("the value is not a number"), why);
                }
            } else if (key == QLatin1String("d")) {
                if (!IsDuration(value)) {
                    return Fail(eq + 1, QStringLiteral("not a duration of 1 to 64"), why);
                }
                duration_ = value;
            } else if (key == QLatin1String("o")) {
                if (value > 9) {
                    return Fail(eq + 1, QStringLiteral("not a scale of 0 to 9"), why);
                }
                scale_ = value;
            } else if (key == QLatin1String("b")) {
                if (value < 1 || value > 900) {
                    return Fail(eq + 1, QStringLiteral("not a BPM of 1 to 900"), why);
                }
                bpm_ = value;
            }
            pos = end + 1;
        }
        return true;
    }

    bool ReadNotes(int from, std::vector<Note>* notes, QString* why) {
        const QString& t = p_.text;
        int pos = from;
        while (pos < t.size()) {
            const int start = pos;
            int duration = duration_;
            if (pos < t.size() && t[pos].isDigit()) {
                if (!ReadNumber(t, pos, &duration) || !IsDuration(duration)) {
                    return Fail(start, QStringLiteral("not a duration of 1 to 64"), why);
                }
            }
            if (pos >= t.size()) {
                return Fail(start, QStringLiteral("a duration without a note"), why);
            }
            QChar letter = t[pos++];
            if (letter == QLatin1Char('h')) {
                letter = QLatin1Char('b');
            }
            if (!QStringLiteral("cdefgabp").contains(letter)) {
                return Fail(pos - 1, QStringLiteral("not a note"), why);
            }
            bool sharp = false;
            if (pos < t.size() && t[pos] == QLatin1Char('#')) {
                sharp = true;
                ++pos;
            }
            bool dotted = false;
            if (pos < t.size() && t[pos] == QLatin1Char('.')) {
                dotted = true; // many files write the dot before the scale
                ++pos;
            }
            int scale = scale_;
            if (pos < t.size() && t[pos].isDigit()) {
                const int at = pos;
                if (!ReadNumber(t, pos, &scale) || scale > 9) {
                    return Fail(at, QStringLiteral("not a scale of 0 to 9"), why);
                }
            }
            if (pos < t.size() && t[pos] == QLatin1Char('.')) {
                dotted = true;
                ++pos;
            }
            if (pos < t.size() && t[pos] != QLatin1Char(',')) {
                return Fail(pos, QStringLiteral("unexpected text after a note"), why);
            }
            ++pos; // the comma
            Note note;
            note.units = kWhole / duration * (dotted ? 3 : 2) / 2;
            if (letter != QLatin1Char('p')) {
                note.name = QString(letter.toUpper()) + (sharp ? QStringLiteral("#") : QString()) +
                            QString::number(scale);
            }
            notes->push_back(note);
        }
        if (notes->empty()) {
            return Fail(from, QStringLiteral("no notes"), why);
        }
        return true;
    }

    static void MakeLines(const std::vector<Note>& notes, RtttlTune* tune) {
        int shortest = kWhole;
        for (const Note& n : notes) {
            shortest = std::min(shortest, n.units);
        }
        // A 1/16 is 4 units: shorter notes are brought up to it.
        tune->lengthScale = shortest >= 4 ? 1 : shortest >= 2 ? 2 : 4;
        tune->bpm *= tune->lengthScale;
        for (const Note& n : notes) {
            int units = n.units * tune->lengthScale;
            bool split = false;
            while (units > 0) {
                const LengthName* piece =
                    std::find_if(std::begin(kLengths), std::end(kLengths),
                                 [units](const LengthName& l) { return l.units <= units; });
                if (piece == std::end(kLengths)) {
                    break; // a remainder below a 1/16 cannot happen: lengths are scaled
                }
                tune->lines.push_back({QString::fromLatin1(piece->length), n.name, QString(),
                                       piece->dotted ? QStringLiteral("Dot") : QString()});
                split = split || units != piece->units;
                units -= piece->units;
            }
            tune->splitNotes += split ? 1 : 0;
        }
    }

    bool Fail(int packedPos, const QString& what, QString* why) const {
        const int column = packedPos < p_.column.size() ? p_.column[packedPos]
                           : p_.column.isEmpty()        ? 1
                                                        : p_.column.last() + 1;
        const QString found = line_.mid(column - 1, 8).trimmed();
        *why = QStringLiteral("line %1, column %2: %3 (found \"%4\")")
                   .arg(lineNumber_)
                   .arg(column)
                   .arg(what, found.isEmpty() ? QStringLiteral("the end") : found);
        return false;
    }

    QString line_;
    Packed p_;
    QString name_;
    int lineNumber_;
    int duration_ = 4;
    int scale_ = 6;
    int bpm_ = 63;
};

} // namespace

QString RtttlTune::Summary() const {
    QString s = (lines.size() == 1 ? QStringLiteral("%1: %2 line at %3 BPM.")
                                   : QStringLiteral("%1: %2 lines at %3 BPM."))
                    .arg(name)
                    .arg(lines.size())
                    .arg(bpm);
    if (lengthScale > 1) {
        s += QStringLiteral(" Its shortest notes are shorter than a 1/16, so it plays at %1 "
                            "times its BPM with every length %1 times as long.")
                 .arg(lengthScale);
    }
    if (splitNotes > 0) {
        s += splitNotes == 1
                 ? QStringLiteral(" A note longer than a dotted Whole became several lines.")
                 : QStringLiteral(" %1 notes longer than a dotted Whole became several lines.")
                       .arg(splitNotes);
    }
    return s;
}

RtttlText ReadRtttl(const QByteArray& bytes) {
    RtttlText out;
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty()) {
            continue;
        }
        TuneReader reader(line, i + 1);
        RtttlTune tune;
        QString why;
        if (reader.Read(&tune, &why)) {
            out.tunes.push_back(std::move(tune));
        } else {
            out.skipped << why;
        }
    }
    out.ok = !out.tunes.empty();
    if (!out.ok) {
        out.why = out.skipped.value(0, QStringLiteral("no tune in the text"));
    }
    return out;
}

QString RtttlText::SkippedNote() const {
    if (skipped.isEmpty()) {
        return {};
    }
    return (skipped.size() == 1 ? QStringLiteral("1 line is not a tune and was left out: %2")
                                : QStringLiteral("%1 lines are not tunes and were left out, the "
                                                 "first at %2"))
        .arg(skipped.size())
        .arg(skipped.first());
}

const RtttlTune* FindTune(const RtttlText& text, const QString& pick) {
    if (text.tunes.empty()) {
        return nullptr;
    }
    if (pick.isEmpty()) {
        return &text.tunes.front();
    }
    bool isNumber = false;
    const int number = pick.toInt(&isNumber);
    if (isNumber) {
        return number >= 1 && number <= std::ssize(text.tunes) ? &text.tunes[number - 1] : nullptr;
    }
    const auto named = std::find_if(text.tunes.begin(), text.tunes.end(), [&](const RtttlTune& t) {
        return t.name.compare(pick, Qt::CaseInsensitive) == 0;
    });
    return named == text.tunes.end() ? nullptr : &*named;
}

bool StartsWithTune(const QByteArray& text) {
    for (const QByteArray& line : text.split('\n')) {
        if (!line.trimmed().isEmpty()) {
            return ReadRtttl(line).ok;
        }
    }
    return false;
}

void ApplyTune(const RtttlTune& tune, SongTarget& target) {
    target.SetBPMVariable(tune.bpm);
    target.SetBPMText(QString::number(tune.bpm));
    target.SetNoteSilenceRatio(100);
    target.ClearLines();
    target.AppendLines(tune.lines);
}

} // namespace tq
