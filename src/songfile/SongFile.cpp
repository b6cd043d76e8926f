#include "songfile/SongFile.h"

#include "core/LogSink.h"
#include "core/Rounding.h"
#include "diag/FileExists.h"
#include "platform/FileDialogs.h"
#include "songfile/LoadProgress.h"
#include "songfile/SongFormat.h"
#include "songfile/SongTarget.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <limits>
#include <vector>

namespace tq {

namespace {

QString Quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

} // namespace

void SongFile::SaveMusic() {
    log_.LogText(QStringLiteral("SaveMusic() - START"));
    FileDialogRequest request;
    request.title = QStringLiteral("Saving music and config");
    request.filter = kSongFileFilter;
    request.flags = kPathMustExist;
    QString path = dialogs_.Save(request);
    if (!path.isEmpty() && !QFileInfo(path).fileName().contains(QLatin1Char('.'))) {
        // A name typed without an extension is a song all the same; with the extension the
        // Load dialog lists it, and the question below protects a song of that name.
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

void SongFile::WriteSong(const QString& path) {
    // QSaveFile refuses a read-only file itself, and never writes into the target directly.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    // Unbuffered, so that a short write is seen here: a buffered one that runs out of room
    // is dropped at commit without an error.
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (ok) {
        const QByteArray text = SongText(target_);
        ok = file.write(text) == text.size() && file.commit();
    }
    if (ok) {
        target_.SongSaved(path);
    } else {
        boxes_.Show(QStringLiteral("Can't save as this file!"),
                    QStringLiteral("The file you want to save this as...\r\n") + path +
                        QStringLiteral("\r\n...can't be written to.\r\n\r\nIt's probably "
                                       "currently being written to by some other program."),
                    MsgButtons::Ok, MsgIcon::Exclamation);
    }
}

void SongFile::ActuallyLoadMusic(const QString& path) {
    log_.LogIndentInc(QStringLiteral("ActuallyLoadMusic(") + Quoted(path) +
                      QStringLiteral(") - START"));
    QByteArray bytes;
    if (ReadSong(path, bytes) && LoadSongBytes(bytes)) {
        target_.SongLoaded(path);
    }
    progress_.ShowHideInfoText(false);
    log_.LogIndentDec(QStringLiteral("ActuallyLoadMusic() - END"));
}

bool SongFile::ReadSong(const QString& path, QByteArray& bytes) {
    QFile file(path);
    // Only plain files: a pipe or device would never end.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        CantRead(path);
        return false;
    }
    progress_.ShowHideInfoText(true);
    progress_.SetInfoText(QStringLiteral("Loading..."));
    progress_.Repaint();
    if (file.size() > kMaxSongBytes) {
        CantRead(path);
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        CantRead(path);
        return false;
    }
    return true;
}

void SongFile::CantRead(const QString& path) {
    log_.LogText(QStringLiteral("Can't read ") + Quoted(path));
    boxes_.Show(QStringLiteral("Can't open file!"),
                QStringLiteral("The file you want to open...\n") + path +
                    QStringLiteral("\n...can't be read."),
                MsgButtons::Ok, MsgIcon::Exclamation);
}

bool SongFile::LoadSongBytes(const QByteArray& bytes) {
    bool byteByByte = false;
    const QString text = DecodeSongBytes(bytes, &byteByByte);
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

    QStringList lines = text.split(QLatin1Char('\n'));
    log_.LogText(QStringLiteral("Removing new-line chars from value of each index in SplitFile()"));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
    }
    const qsizetype listStart = ApplySettings(lines);
    LoadMusicList(lines, listStart);
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

qsizetype SongFile::ApplySettings(const QStringList& lines) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const QString lower = line.toLower();
        if (lower.startsWith(QLatin1String("revision"))) {
            CheckRevision(line);
        }
        if (lower.startsWith(QLatin1String("musicliststart"))) {
            return i + 1;
        }
        // A line without a blank has no value and is never a setting.
        if (line.contains(QLatin1Char(' '))) {
            ApplySetting(GetSettingName(line), line);
        }
    }
    return lines.size();
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

void SongFile::LoadMusicList(const QStringList& lines, qsizetype listStart) {
    log_.LogText(QStringLiteral("Loading music list"));
    target_.ClearLines();
    // Parsed completely first and handed over in one call: a long song fills the list in
    // one step instead of one row per line.
    std::vector<MusicLine> rows;
    rows.reserve(static_cast<size_t>(lines.size() - listStart));
    MusicLine row;
    for (qsizetype i = listStart; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.isEmpty() || line.startsWith(QLatin1String("//"))) {
            continue;
        }
        if (ParseMusicListLine(line, row)) {
            rows.push_back(row);
        } else if (LoadMusicListLineError(line) == MsgAnswer::Cancel) {
            break;
        }
    }
    if (!rows.empty()) {
        target_.AppendLines(std::move(rows));
    }
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
