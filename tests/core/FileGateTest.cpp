// The gate every read passes and the writer every song, export and log goes through.
#include "core/FileGate.h"
#include "core/FileWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tq {
namespace {

bool Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(FileGate, OnlyRegularFilesUpToTheLimitAreReadAndNothingBlocks) {
    QTemporaryDir dir;
    const QString song = dir.filePath("song.tql");
    ASSERT_TRUE(Write(song, "twelve bytes"));
    ASSERT_TRUE(QFile::link(song, dir.filePath("link.tql")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
    QFile big(dir.filePath("big"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(qint64{6} * 1024 * 1024 * 1024)); // sparse: no disk used
    big.close();
    const struct {
        QString path;
        qint64 limit;
        const char* why; // empty: read
    } cases[] = {
        {song, 12, ""},
        {dir.filePath("link.tql"), 12, ""},
        {song, 11, "it is 12 bytes, more than the limit of 11 bytes"},
        {big.fileName(), kMaxSongFileBytes, "it is 6 GB, more than the limit of 64 MB"},
        {dir.filePath("fifo"), 100, "it is a pipe, not a file"},
        {dir.path(), 100, "it is a folder, not a file"},
        {"/dev/zero", 100, "it is a device, not a file"},
        {dir.filePath("missing"), 100, "No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const InputFile in = ReadWhole(c.path, c.limit);
        EXPECT_EQ(in.why, QString::fromUtf8(c.why));
        EXPECT_EQ(in.ok, in.why.isEmpty());
        EXPECT_EQ(in.bytes, in.ok ? QByteArray("twelve bytes") : QByteArray());
        EXPECT_EQ(CheckReadable(c.path, c.limit), in.why);
    }
    EXPECT_EQ(ReadStart(big.fileName(), 4), QByteArray(4, '\0'));
    EXPECT_EQ(ReadStart(dir.filePath("fifo"), 4), QByteArray());
}

TEST(FileGate, NamesThatAreNotUtf8SurviveTheRoundTripAndUtf8IsDecoded) {
    const QByteArray names[] = {"bad\xff.tql",           "song\xe9.tql",
                                "caf\xc3\xa9.tql",       "\xed\xa0\x80 surrogate",
                                "\xf0\x9f\x8e\xb5 note", "cut \xe2\x82"};
    for (const QByteArray& name : names) {
        EXPECT_EQ(PathBytes(PathFromBytes(name)), name) << name.toHex().toStdString();
    }
    EXPECT_EQ(PathFromBytes("caf\xc3\xa9"), QString::fromUtf16(u"caf\u00e9"));
    EXPECT_EQ(PathFromBytes("\xf0\x9f\x8e\xb5"), QString::fromUtf16(u"\U0001F3B5"));
}

TEST(FileWriter, ReplacesTheTargetWholeAndRemovesLeftoversOfKilledWritersOnly) {
    QTemporaryDir dir;
    const QString song = dir.filePath("song.tql");
    ASSERT_TRUE(Write(song, "old"));
    ::chmod(QFile::encodeName(song).constData(), 0640);
    // A killed writer (no such process), a running one (this one) and another file's.
    const QString dead = TemporaryNameFor(song, 999999999, "abc123");
    const QString alive = TemporaryNameFor(song, ::getpid(), "def456");
    const QString other = TemporaryNameFor(dir.filePath("other.tql"), 999999999, "abc123");
    for (const QString& leftover : {dead, alive, other}) {
        ASSERT_TRUE(Write(leftover, "half a song"));
    }
    EXPECT_EQ(QFileInfo(dead).fileName(), ".song.tql.tq-tmp-999999999-abc123");

    QString why;
    ASSERT_TRUE(WriteFileReplacing(song, "new song", &why)) << why.toStdString();
    EXPECT_EQ(Read(song), "new song");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(song).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_FALSE(QFile::exists(dead));
    EXPECT_TRUE(QFile::exists(alive));
    EXPECT_TRUE(QFile::exists(other));
}

// A file written in pieces, its start rewritten last, as a WAV render writes its sizes.
TEST(FileWriter, AStreamPutsTheFileInPlaceWholeOnlyWhenCommitted) {
    QTemporaryDir dir;
    const QString target = dir.filePath("song.wav");
    const auto writePieces = [](ReplacingFileStream& out) {
        out.Append("RIFF----", 8);
        out.Append("data", 4);
        out.Overwrite(4, "size");
    };
    for (const bool commit : {false, true}) {
        ASSERT_TRUE(Write(target, "old"));
        {
            ReplacingFileStream out;
            QString why;
            ASSERT_TRUE(out.Open(target, &why)) << why.toStdString();
            writePieces(out);
            EXPECT_EQ(Read(target), "old");
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
            EXPECT_TRUE(!commit || out.Commit(&why)) << why.toStdString();
        }
        EXPECT_EQ(Read(target), commit ? "RIFFsizedata" : "old");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"song.wav"});
    }

    // A pipe and a device get the whole file at the commit, or its failure.
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    for (const QString& path : {fifo, QStringLiteral("/dev/full")}) {
        ReplacingFileStream out;
        QString why;
        ASSERT_TRUE(out.Open(path, &why)) << why.toStdString();
        writePieces(out);
        EXPECT_EQ(out.Commit(&why), path == fifo) << path.toStdString();
        EXPECT_EQ(why, path == fifo ? QString() : QStringLiteral("No space left on device"));
    }
    char got[32] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 12);
    EXPECT_EQ(QByteArray(got), "RIFFsizedata");
    ::close(reader);
}

// Logs and markers in the program folder: a link planted in their place is refused and
// the file it points to is left as it was.
TEST(FileWriter, LogsMarkersAndRenamesNeverWriteThroughALink) {
    QTemporaryDir dir;
    const QString target = dir.filePath("precious");
    ASSERT_TRUE(Write(target, "keep me"));
    const QString log = dir.filePath("debuglog.txt");
    const QString marker = dir.filePath("NOTYETDONE.txt");
    ASSERT_TRUE(QFile::link(target, log));
    ASSERT_TRUE(QFile::link(target, marker));
    QString why;
    EXPECT_FALSE(AppendNoFollow(log, "line\r\n", &why));
    EXPECT_EQ(why, "it is a link to another file, and links are not written through");
    EXPECT_FALSE(ContinueNoFollow(log, "more\r\n", &why));
    EXPECT_FALSE(CreateExclusive(marker, &why));
    EXPECT_EQ(why, "a link or other entry is in its place");

    // A dangling link where a file is to be renamed: the name counts as taken.
    const QString component = dir.filePath("MSCOMCTL.OCX");
    ASSERT_TRUE(Write(component, "system copy"));
    const QString missing = dir.filePath("nowhere");
    ASSERT_TRUE(QFile::link(missing, component + "orig"));
    int error = 0;
    EXPECT_FALSE(RenameNoReplace(component, component + "orig", &error));
    EXPECT_EQ(error, EEXIST);
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_TRUE(RenameNoReplace(component, component + "orig1", &error));

    EXPECT_EQ(Read(target), "keep me");
    // A leftover marker of a killed run is an ordinary file, and is made afresh.
    const QString oldMarker = dir.filePath("old/NOTYETDONE.txt");
    QDir().mkpath(dir.filePath("old"));
    ASSERT_TRUE(Write(oldMarker, "x"));
    EXPECT_TRUE(CreateExclusive(oldMarker, &why));
    EXPECT_EQ(Read(oldMarker), "");
}

} // namespace
} // namespace tq
