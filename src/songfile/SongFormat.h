#pragma once

#include "core/MusicLine.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>

namespace tq {

class LogSink;
class SongTarget;

// The first characters of every song file.
inline const QString kFormatText = QStringLiteral("Tonquill by Vellomar file format");
// This program's revision, written into every song file.
constexpr int32_t kProgramRevision = 148;
inline const QString kDownloadPage = QStringLiteral("https://tonquill.example.org/download");
// The song-file filter of the Save and Open dialogs.
inline const QString kSongFileFilter =
    QStringLiteral("This program's file type (*.TQL)|*.TQL|All files (*.*)|*.*");

// True when text begins with prefix exactly (case-sensitive); an empty prefix is true.
bool AtStartOfString(const QString& text, const QString& prefix);
// The text before the first blank in lower case ("" for an empty line; the whole line
// when it has no blank).
QString GetSettingName(const QString& line);
// The text after the first blank (the whole line when it has no blank). Logs the line.
QString GetSettingValue(const QString& line, LogSink& log);
// The decimal number at the start of a value text rounded half to even, saturating at the
// 64-bit limits; no digits gives 0. Callers check the width of their target.
int64_t NumberValue(const QString& text);

// Equal cells of a song share one string: a song holds few different lengths, notes and
// modifiers, and a line of four cells of their own would take several times the file's
// size. Cells are looked up by their text in the file, which must outlive the pool.
class CellPool {
public:
    // The text as a string, upper-cased for a note.
    QString Intern(QStringView text, bool note);

private:
    // Past this many different cells (a file that is not music) new ones are not kept.
    static constexpr qsizetype kMostKept = 4096;
    QHash<QStringView, QString> cells_;
    QHash<QStringView, QString> notes_;
};

// One music-list line by the reader's grammar: Length, Note 1 and Note 2 separated by
// single blanks, then everything after a third blank as Mod. "-" is an empty cell; the
// notes are upper-cased. False for a line with fewer than two blanks.
bool ParseMusicListLine(QStringView line, MusicLine& out, CellPool* pool = nullptr);
// False for a line holding characters that never stand in a song: control characters and
// the replacement character of undecodable bytes. Such a line is not music.
bool IsMusicText(QStringView line);
// Whether a parsed line is music the program writes itself: a known length name, each
// note empty or a note name with its octave ("C#4", "G10"), and no modifier, "Dot" or
// "Tri" in any case.
bool IsMusicLine(const MusicLine& line);
// One row as written: Length, then each other cell or "-", separated by blanks.
QString MusicListLineText(const MusicLine& line);
// The whole song file as SaveMusic writes it: UTF-8, every line ending in CR LF.
QByteArray SongText(const SongTarget& target);

// Bytes 0x80 to 0x9F of Windows-1252; the five unassigned ones stay C1 controls.
QString DecodeWindows1252(const QByteArray& bytes);
// "UTF-16" or "UTF-32" when the bytes begin with that encoding's byte-order mark, which
// the reader does not read; empty otherwise.
QString UnreadableEncoding(const QByteArray& bytes);
// The file's text: UTF-8 (an initial byte-order mark dropped) when the bytes are valid
// UTF-8, otherwise Windows-1252, and then byteByByte is set.
QString DecodeSongBytes(const QByteArray& bytes, bool* byteByByte);

} // namespace tq
