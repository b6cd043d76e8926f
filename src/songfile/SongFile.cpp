#include "songfile/SongFile.h"

#include "core/FileGate.h"
#include "core/FileWriter.h"
#include "core/LogSink.h"
#include "core/Rounding.h"
#include "diag/FileExists.h"
#include "platform/FileDialogs.h"
#include "songfile/LoadProgress.h"
#include "songfile/SongFormat.h"
#include "songfile/SongTarget.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace tq {

namespace {

QString Quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// Long enough to recognise a line in a question.
QString Shortened(const QString& line) {
    constexpr qsizetype kMost = 200;
    return line.size() <= kMost ? line : line.left(kMost) + QStringLiteral("...");
}

} // namespace

// The text's lines one after another, as QString::split at LF gives them, each without
// one trailing CR. Views, so that a long song is never held twice as separate lines.
class SongFile::LineReader {
public:
    explicit LineReader(QStringView text) : text_(text) {}
    bool Next(QStringView& line) {
        if (pos_ > text_.size()) {
            return false;
        }
        qsizetype end = text_.indexOf(u'\n', pos_);
        if (end < 0) {
            end = text_.size();
        }
        line = text_.mid(pos_, end - pos_);
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        pos_ = end + 1;
        return true;
    }
    // The number of lines still to come, at most.
    qsizetype LinesLeft() const { return text_.mid(std::min(pos_, text_.size())).count(u'\n') + 1; }

private:
    QStringView text_;
    qsizetype pos_ = 0;
};

namespace {

// Extensions of files the program reads or writes: a name with one of these is taken as
// the user typed it.
bool HasKnownExtension(const QString& path) {
    static const QStringList known = {QStringLiteral("tql"), QStringLiteral("mid"),
                                      QStringLiteral("midi"), QStringLiteral("rmi"),
                                      QStringLiteral("wav")};
    const QFileInfo file(path);
    // A name that is all extension (".old") is a hidden file's name, kept as typed.
    return file.completeBaseName().isEmpty() || known.contains(file.suffix().toLower());
}

} // namespace

void SongFile::SaveMusic(const QString& initial) {
    log_.LogText(QStringLiteral("SaveMusic() - START"));
    FileDialogRequest request;
    request.fileName = initial;
    request.title = QStringLiteral("Saving music and config");
    request.filter = kSongFileFilter;
    request.flags = kPathMustExist;
    QString path = dialogs_.Save(request);
    if (!path.isEmpty() && !HasKnownExtension(path)) {
        // A name typed without an extension, or with a dot of its own ("song.v2"), is a song
        // all the same; with the extension the Load dialog lists it, and the question below
        // protects a song of that name.
        path += QStringLiteral(".tql");
    }
    if (!path.isEmpty()) {
        bool replace = true;
        if (FileExists(path, log_)) {
            replace = boxes_.Show(QStringLiteral("File already exists"),
                                  QStringLiteral("The file you want to save this as:\n") + path +
                                      QStringLiteral("\n...already exists.\n\nShould this file "
                                                     "be replaced?"),
                                  MsgButtons::YesNo, MsgIcon::Exclamation) == MsgAnswer::Yes;
        }
        if (replace) {
            log_.LogText(QStringLiteral("Opening ") + Quoted(path) + QStringLiteral(", saving"));
            WriteSong(path);
        }
    }
    log_.LogText(QStringLiteral("SaveMusic() - END"));
}

void SongFile::SaveMusicTo(const QString& path) {
    log_.LogText(QStringLiteral("SaveMusic() - START"));
    log_.LogText(QStringLiteral("Opening ") + Quoted(path) + QStringLiteral(", saving"));
    WriteSong(path);
    log_.LogText(QStringLiteral("SaveMusic() - END"));
}

void SongFile::WriteSong(const QString& path) {
    QString why;
    if (WriteFileReplacing(path, SongText(target_), &why)) {
        target_.SongSaved(path);
        return;
    }
    log_.LogText(QStringLiteral("Can't save: ") + why);
    boxes_.Show(QStringLiteral("Can't save as this file!"),
                QStringLiteral("The file you want to save this as...\r\n") + path +
                    QStringLiteral("\r\n...can't be written to.\r\n\r\nIt's probably "
                                   "currently being written to by some other program.\r\n\r\n") +
                    AsSentence(why),
                MsgButtons::Ok, MsgIcon::Exclamation);
}

bool SongFile::ActuallyLoadMusic(const QString& path) {
    log_.LogIndentInc(QStringLiteral("ActuallyLoadMusic(") + Quoted(path) +
                      QStringLiteral(") - START"));
    // A pipe, a device or a file too large to be a song is refused before it is read.
    InputFile file = ReadWhole(path, kMaxSongBytes);
    bool loaded = false;
    if (!file.ok) {
        CantRead(path, file.why);
    } else {
        progress_.ShowHideInfoText(true);
        progress_.SetInfoText(QStringLiteral("Loading..."));
        progress_.Repaint();
        loaded = LoadSongBytes(std::exchange(file.bytes, {}));
    }
    if (loaded) {
        target_.SongLoaded(path);
    }
    progress_.ShowHideInfoText(false);
    log_.LogIndentDec(QStringLiteral("ActuallyLoadMusic() - END"));
    return loaded;
}

void SongFile::CantRead(const QString& path, const QString& why) {
    log_.LogText(QStringLiteral("Can't read ") + Quoted(path) + QStringLiteral(": ") + why);
    boxes_.Show(QStringLiteral("Can't open file!"),
                QStringLiteral("The file you want to open...\n") + path +
                    QStringLiteral("\n...can't be read.\n\n") + AsSentence(why),
                MsgButtons::Ok, MsgIcon::Exclamation);
}

bool SongFile::LoadSongBytes(QByteArray bytes) {
    if (const QString encoding = UnreadableEncoding(bytes); !encoding.isEmpty()) {
        log_.LogText(QStringLiteral("File is ") + encoding + QStringLiteral(" text"));
        boxes_.Show(QStringLiteral("Can't open file!"),
                    QStringLiteral("This file is %1 text, which this program can't read.\n\n"
                                   "Save it as UTF-8 or Latin-1 and load it again.")
                        .arg(encoding),
                    MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    bool byteByByte = false;
    const QString text = DecodeSongBytes(std::exchange(bytes, {}), &byteByByte);
    if (byteByByte) {
        log_.LogText(QStringLiteral("Problem loading - loading byte-by-byte"));
        progress_.SetInfoText(QStringLiteral(
            "Loading byte-by-byte...\r\n(May be slow)\r\nThis happens due to errors caused by "
            "your default non-Unicode language setup, since this file contains Unicode "
            "characters."));
        progress_.Repaint();
    }
    if (!AtStartOfString(text, kFormatText) && !AskToLoadForeignFile()) {
        return false;
    }

    // A file without a TimeSig line loads with four beats per bar.
    target_.SetTimeSig(4);

    LineReader lines(text);
    log_.LogText(QStringLiteral("Removing new-line chars from value of each index in SplitFile()"));
    ApplySettings(lines);
    LoadMusicList(lines);
    log_.LogText(QStringLiteral("EndOfLoadMusic"));
    target_.StopPlaying();
    return true;
}

bool SongFile::AskToLoadForeignFile() {
    log_.LogText(QStringLiteral("File doesn't contain 'format text' at the start"));
    return boxes_.Show(QStringLiteral("Probably weird file format"),
                       QStringLiteral("This file doesn't contain this text at the start of it "
                                      "which says that it is in this program's format: \n") +
                           kFormatText +
                           QStringLiteral("\n\nOf course, apart from that it could still be in "
                                          "this program's format.\nTry to load it?"),
                       MsgButtons::YesNo, MsgIcon::Exclamation) == MsgAnswer::Yes;
}

void SongFile::ApplySettings(LineReader& lines) {
    QStringView view;
    while (lines.Next(view)) {
        const QString line = view.toString();
        const QString lower = line.toLower();
        if (lower.startsWith(QLatin1String("revision"))) {
            CheckRevision(line);
        }
        if (lower.startsWith(QLatin1String("musicliststart"))) {
            return;
        }
        // A line without a blank has no value and is never a setting.
        if (line.contains(QLatin1Char(' '))) {
            ApplySetting(GetSettingName(line), line);
        }
    }
}

void SongFile::CheckRevision(const QString& line) {
    const QString revision = line.mid(8);
    if (!IsNumeric(revision) || NumberValue(revision) <= kProgramRevision) {
        return;
    }
    log_.LogText(QStringLiteral("File was made with newer program version"));
    boxes_.Show(QString(),
                QStringLiteral("This file was made with a newer version of Tonquill than you're "
                               "using. As long as it doesn't contain info about features only in "
                               "a newer version, there should be no problem opening it with this "
                               "version.\r\n\r\nHowever, I'll have made the newer version for a "
                               "reason, so I recommend that you download and use it instead."
                               "\r\n\r\nYou can get it from ") +
                    kDownloadPage,
                MsgButtons::Ok, MsgIcon::None);
}

void SongFile::LoadMusicList(LineReader& lines) {
    log_.LogText(QStringLiteral("Loading music list"));
    target_.ClearLines();
    // Handed over in large batches rather than one row per line, so that a long song fills
    // the list in a few steps; not all at once, so that its lines are never held twice,
    // parsed here and packed in the list.
    constexpr size_t kBatch = 65536;
    std::vector<MusicLine> rows;
    rows.reserve(std::min(kBatch, static_cast<size_t>(lines.LinesLeft())));
    CellPool pool;
    BadLines bad;
    MusicLine row;
    QStringView line;
    while (lines.Next(line)) {
        if (line.isEmpty() || line.startsWith(u"//")) {
            continue;
        }
        if (IsMusicText(line) && ParseMusicListLine(line, row, &pool)) {
            rows.push_back(row);
            if (rows.size() == kBatch) {
                target_.AppendLines(std::exchange(rows, {}));
                rows.reserve(kBatch);
            }
        } else if (!SkipBadLine(line.toString(), bad)) {
            break;
        }
    }
    if (!rows.empty()) {
        target_.AppendLines(std::move(rows));
    }
    if (bad.quiet) {
        boxes_.Show(
            QStringLiteral("Music list line error in save file"),
            QStringLiteral("%1 lines of this file were not music and were skipped.").arg(bad.count),
            MsgButtons::Ok, MsgIcon::Information);
    }
}

bool SongFile::SkipBadLine(const QString& line, BadLines& bad) {
    ++bad.count;
    if (bad.quiet) {
        log_.LogText(QStringLiteral("Skipped bad line: ") + Shortened(line));
        return true;
    }
    // A file with a binary body would otherwise ask once for every one of its lines.
    if (bad.count == 2 &&
        boxes_.Show(QStringLiteral("Skip the other bad lines?"),
                    QStringLiteral("Another line of this file is not music:\n") + Shortened(line) +
                        QStringLiteral("\n\nSkip it and all further lines of this file that "
                                       "are not music, without asking again?"),
                    MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes) {
        bad.quiet = true;
        return true;
    }
    return LoadMusicListLineError(line) != MsgAnswer::Cancel;
}

void SongFile::ApplySetting(const QString& name, const QString& line) {
    enum class Key {
        KeyboardOctave,
        BPM,
        TimeSig,
        NoteSilenceRatio,
        NoteLength,
        AlternateTime,
        AddNote1,
        AddNote2,
        Check
    };
    struct Entry {
        QLatin1StringView name;
        Key key;
        SongCheck box;
    };
    // NoteReplace is written but deliberately not read.
    static constexpr Entry kKeys[] = {
        {QLatin1StringView("keyboardoctave"), Key::KeyboardOctave, {}},
        {QLatin1StringView("bpm"), Key::BPM, {}},
        {QLatin1StringView("timesig"), Key::TimeSig, {}},
        {QLatin1StringView("notesilenceratio"), Key::NoteSilenceRatio, {}},
        {QLatin1StringView("notelength"), Key::NoteLength, {}},
        {QLatin1StringView("alternatetime"), Key::AlternateTime, {}},
        {QLatin1StringView("noteclickplay"), Key::Check, SongCheck::NoteClickPlay},
        {QLatin1StringView("noteclickadd"), Key::Check, SongCheck::NoteClickAdd},
        {QLatin1StringView("addnote1"), Key::AddNote1, {}},
        {QLatin1StringView("addnote2"), Key::AddNote2, {}},
        {QLatin1StringView("notelengthreplace"), Key::Check, SongCheck::NoteLengthReplace},
        {QLatin1StringView("clickplaynote1"), Key::Check, SongCheck::ClickPlayNote1},
        {QLatin1StringView("clickplaynote2"), Key::Check, SongCheck::ClickPlayNote2},
        {QLatin1StringView("playnote1"), Key::Check, SongCheck::PlayNote1},
        {QLatin1StringView("playnote2"), Key::Check, SongCheck::PlayNote2},
    };
    const auto entry = std::find_if(std::begin(kKeys), std::end(kKeys),
                                    [&name](const Entry& e) { return name == e.name; });
    if (entry == std::end(kKeys)) {
        return;
    }
    const QString value = GetSettingValue(line, log_);
    const int64_t n = NumberValue(value);
    // Values the writer never produces are kept from the controls: out of a variable's
    // width they are dropped, a slider takes its nearest end, and a tempo or alternation
    // time below 1 never reaches the variable that playback uses.
    switch (entry->key) {
    case Key::KeyboardOctave:
        if (n >= 0 && n <= std::numeric_limits<uint8_t>::max()) {
            target_.SetKeyboardOctave(static_cast<uint8_t>(n));
            target_.SetKeyboardOctaveText(value);
            target_.UpdateOctaveLabels();
        }
        break;
    case Key::BPM:
        if (n >= 1 && n <= std::numeric_limits<int32_t>::max()) {
            target_.SetBPMVariable(static_cast<int32_t>(n));
        }
        target_.SetBPMText(value);
        break;
    case Key::TimeSig:
        target_.SetTimeSig(static_cast<int32_t>(std::clamp<int64_t>(n, 1, 32)));
        break;
    case Key::NoteSilenceRatio:
        target_.SetNoteSilenceRatio(static_cast<int>(std::clamp<int64_t>(n, 5, 100)));
        break;
    case Key::NoteLength:
        if (n >= 0 && n <= 4) {
            target_.SetNoteLengthIndex(static_cast<int>(n));
        }
        break;
    case Key::AlternateTime:
        // The text shows the file's value either way, so a refused one turns orange.
        if (n >= 1 && n <= std::numeric_limits<int16_t>::max()) {
            target_.SetAlternateTime(static_cast<int16_t>(n));
        }
        target_.SetAlternateTimeText(QString::number(n));
        break;
    case Key::AddNote1:
    case Key::AddNote2:
        target_.SetOption(entry->key == Key::AddNote1 ? SongOption::AddNote1 : SongOption::AddNote2,
                          LeadingNumber(value) != 0.0);
        break;
    case Key::Check:
        if (n == 0 || n == 1) {
            target_.SetCheck(entry->box, static_cast<int>(n));
        }
        break;
    }
}

MsgAnswer SongFile::LoadMusicListLineError(const QString& line) {
    log_.LogText(QStringLiteral("LoadMusicListLineError(ERRORLINE:") + line + QLatin1Char(')'));
    return boxes_.Show(
        QStringLiteral("Music list line error in save file"),
        QStringLiteral("After 'MUSICLISTSTART' in the save file, there should be only lines of "
                       "\nLength Note1 Note2\r\nOR:Length Note1 Note2 Mod\nHowever, there are "
                       "less than 3 things on this line separated by a space. \nThe line is: "
                       "\n") +
            line +
            QStringLiteral("\nThis line will be skipped.\n\nCarry on trying to load "
                           "the file?"),
        MsgButtons::OkCancel, MsgIcon::Exclamation);
}

} // namespace tq
