#include "songfile/SongFormat.h"

#include "core/LogSink.h"
#include "core/Rounding.h"
#include "songfile/SongTarget.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace tq {

bool AtStartOfString(const QString& text, const QString& prefix) {
    return text.startsWith(prefix, Qt::CaseSensitive);
}

QString GetSettingName(const QString& line) {
    const qsizetype blank = line.indexOf(QLatin1Char(' '));
    return (blank < 0 ? line : line.left(blank)).toLower();
}

QString GetSettingValue(const QString& line, LogSink& log) {
    log.LogText(QStringLiteral("GetSettingValue(\"") + line + QStringLiteral("\")"));
    const qsizetype blank = line.indexOf(QLatin1Char(' '));
    return blank < 0 ? line : line.mid(blank + 1);
}

int64_t NumberValue(const QString& text) {
    return RoundHalfEven(LeadingNumber(text));
}

namespace {

QString NewText(QStringView text, bool note) {
    return note ? text.toString().toUpper() : text.toString();
}

} // namespace

QString CellPool::Intern(QStringView text, bool note) {
    QHash<QStringView, QString>& cells = note ? notes_ : cells_;
    const auto found = cells.constFind(text);
    if (found != cells.constEnd()) {
        return *found;
    }
    QString cell = NewText(text, note);
    if (cells.size() < kMostKept) {
        cells.insert(text, cell);
    }
    return cell;
}

bool ParseMusicListLine(QStringView line, MusicLine& out, CellPool* pool) {
    const qsizetype b1 = line.indexOf(u' ');
    if (b1 < 0) {
        return false;
    }
    const qsizetype b2 = line.indexOf(u' ', b1 + 1);
    if (b2 < 0) {
        return false;
    }
    const qsizetype b3 = line.indexOf(u' ', b2 + 1);
    const auto text = [pool](QStringView field, bool note) {
        return pool ? pool->Intern(field, note) : NewText(field, note);
    };
    const auto cell = [&text](QStringView field, bool note) {
        return field == u"-" ? QString() : text(field, note);
    };
    out.Length = text(line.left(b1), false);
    out.Note1 = cell(line.mid(b1 + 1, b2 - b1 - 1), true);
    out.Note2 = cell(b3 < 0 ? line.mid(b2 + 1) : line.mid(b2 + 1, b3 - b2 - 1), true);
    out.Mod = b3 < 0 ? QString() : cell(line.mid(b3 + 1), false);
    return true;
}

bool IsMusicText(QStringView line) {
    for (const QChar c : line) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0) || u == 0xFFFD) {
            return false;
        }
    }
    return true;
}

bool IsMusicLine(const MusicLine& line) {
    static const QStringList kLengths = {QStringLiteral("Whole"), QStringLiteral("Half"),
                                         QStringLiteral("Quarter"), QStringLiteral("1/8"),
                                         QStringLiteral("1/16")};
    static const QRegularExpression kNote(QStringLiteral("^(?:[ACDFG]#|[A-G])[0-9]{1,4}$"));
    const auto isNote = [](const QString& note) {
        return note.isEmpty() || kNote.match(note).hasMatch();
    };
    const QString mod = line.Mod.toLower();
    return kLengths.contains(line.Length) && isNote(line.Note1) && isNote(line.Note2) &&
           (mod.isEmpty() || mod == QLatin1String("dot") || mod == QLatin1String("tri"));
}

QString MusicListLineText(const MusicLine& line) {
    QString text = line.Length;
    for (const QString* cell : {&line.Note1, &line.Note2, &line.Mod}) {
        text += QLatin1Char(' ');
        text += cell->isEmpty() ? QStringLiteral("-") : *cell;
    }
    return text;
}

QByteArray SongText(const SongTarget& target) {
    const int32_t count = target.LineCount();
    QString text;
    text.reserve(1024 + qsizetype{count > 0 ? count : 0} * 24);
    const auto add = [&text](const QString& line) {
        text += line;
        text += QLatin1String("\r\n");
    };
    const auto number = [](int64_t n) { return QString::number(n); };
    const auto check = [&target, &number](SongCheck box) { return number(target.Check(box)); };
    const auto option = [&target](SongOption o) {
        return target.Option(o) ? QStringLiteral("1") : QStringLiteral("0");
    };

    add(kFormatText);
    add(QStringLiteral("Revision ") + number(kProgramRevision));
    add(QStringLiteral("//Pitch and timing settings"));
    add(QStringLiteral("KeyboardOctave ") + number(target.KeyboardOctave()));
    add(QStringLiteral("BPM ") + number(target.BPM()));
    add(QStringLiteral("TimeSig ") + number(target.TimeSig()));
    add(QStringLiteral("NoteSilenceRatio ") + number(target.NoteSilenceRatio()));
    add(QStringLiteral("NoteLength ") + number(target.NoteLengthIndex()));
    add(QStringLiteral("AlternateTime ") + target.AlternateTimeText());
    add(QStringLiteral("//Editing settings"));
    add(QStringLiteral("//When key is clicked,"));
    add(QStringLiteral("NoteClickPlay ") + check(SongCheck::NoteClickPlay));
    add(QStringLiteral("//Adding note"));
    add(QStringLiteral("NoteClickAdd ") + check(SongCheck::NoteClickAdd));
    add(QStringLiteral("AddNote1 ") + option(SongOption::AddNote1));
    add(QStringLiteral("AddNote2 ") + option(SongOption::AddNote2));
    add(QStringLiteral("NoteReplace ") + check(SongCheck::NoteReplace));
    add(QStringLiteral("NoteLengthReplace ") + check(SongCheck::NoteLengthReplace));
    add(QStringLiteral("//Which notes in list to play"));
    add(QStringLiteral("//When a line is clicked,"));
    add(QStringLiteral("ClickPlayNote1 ") + check(SongCheck::ClickPlayNote1));
    add(QStringLiteral("ClickPlayNote2 ") + check(SongCheck::ClickPlayNote2));
    add(QStringLiteral("//When the music is being played,"));
    add(QStringLiteral("PlayNote1 ") + check(SongCheck::PlayNote1));
    add(QStringLiteral("PlayNote2 ") + check(SongCheck::PlayNote2));
    add(QStringLiteral("MUSICLISTSTART"));
    add(QStringLiteral("//Length Note1 Note2"));
    for (int32_t i = 1; i <= count; ++i) {
        add(MusicListLineText(target.Line(i)));
    }
    return text.toUtf8();
}

QString DecodeWindows1252(const QByteArray& bytes) {
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t{b});
    }
    return text;
}

QString UnreadableEncoding(const QByteArray& bytes) {
    // UTF-32 first: its little-endian mark begins with UTF-16's.
    if (bytes.startsWith(QByteArray("\xFF\xFE\x00\x00", 4)) ||
        bytes.startsWith(QByteArray("\x00\x00\xFE\xFF", 4))) {
        return QStringLiteral("UTF-32");
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        return QStringLiteral("UTF-16");
    }
    return QString();
}

QString DecodeSongBytes(const QByteArray& bytes, bool* byteByByte) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    const bool invalid = utf8.hasError();
    if (byteByByte) {
        *byteByByte = invalid;
    }
    return invalid ? DecodeWindows1252(bytes) : text;
}

} // namespace tq
