// The WAV export and tonquill-convert, against the headless player.
#include "core/LogSink.h"
#include "TestFiles.h"
#include "interchange/HeadlessSong.h"
#include "interchange/SongWavRenderer.h"
#include "platform/ScriptedMessageBoxes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tq {
namespace {

const QString kSong = QStringLiteral(TQ_EXAMPLES "/Dots and triplets.tql");

int Exec(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

TEST(WavExport, IsByteIdenticalToTheHeadlessPlayersWav) {
    QTemporaryDir dir;
    ASSERT_EQ(Exec(QStringLiteral(TQ_PLAYER), {kSong, "--wav", dir.filePath("play.wav")}), 0);
    ASSERT_EQ(Exec(QStringLiteral(TQ_CONVERT), {kSong, dir.filePath("convert.wav")}), 0);
    // The window's way: the song as the writer saves it.
    ScriptedMessageBoxes boxes;
    NullLog log;
    HeadlessSong song(boxes, log);
    ASSERT_TRUE(song.LoadFile(kSong));
    QString why;
    ASSERT_EQ(SongWavRenderer::RenderSong(song.FileBytes(), dir.filePath("window.wav"), boxes, log,
                                          {}, &why),
              SongWavRenderer::Outcome::Written)
        << why.toStdString();

    const QByteArray played = Contents(dir.filePath("play.wav"));
    ASSERT_GT(played.size(), 44);
    EXPECT_TRUE(Contents(dir.filePath("convert.wav")) == played);
    EXPECT_TRUE(Contents(dir.filePath("window.wav")) == played);
}

TEST(WavExport, StoppedHalfWayLeavesNoFile) {
    QTemporaryDir dir;
    ScriptedMessageBoxes boxes;
    NullLog log;
    HeadlessSong song(boxes, log);
    ASSERT_TRUE(song.LoadFile(kSong));
    std::vector<double> seen;
    const auto stopAtHalf = [&seen](double done) {
        seen.push_back(done);
        return done < 0.5;
    };
    QString why;
    EXPECT_EQ(SongWavRenderer::RenderSong(song.FileBytes(), dir.filePath("s.wav"), boxes, log,
                                          stopAtHalf, &why),
              SongWavRenderer::Outcome::Stopped);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    ASSERT_GT(seen.size(), 10u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_LT(seen.back(), 0.6);
}

TEST(Convert, ExitCodesSayWhatHappenedAndNothingHalfWrittenIsLeft) {
    QTemporaryDir dir;
    const auto write = [&dir](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    const QString foreign = write("list.tql", "shopping list\r\n");
    const QString garbage = write("noise.mid", "MThd but no more");
    const QString tunes = write("tunes.rtttl", "One:d=4,o=5,b=90:c,e\nTwo::8g\n");
    const QString badTune = write("bad.rtx", "One:d=4:c,x\n");
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.mid"));
    const QString fifo = dir.filePath("fifo.tql");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", dir.filePath("zero.mid")));
    const struct {
        QStringList args;
        int code;
    } cases[] = {
        {{}, 2},
        {{kSong}, 2},
        {{"--fast", kSong, dir.filePath("a.mid")}, 2},
        {{kSong, dir.filePath("a.mp3")}, 2},
        {{kSong, dir.filePath("a.tql")}, 2},
        {{kSong, dir.filePath("out")}, 2},
        {{dir.filePath("missing.tql"), dir.filePath("a.mid")}, 3},
        {{foreign, dir.filePath("a.mid")}, 3},
        {{garbage, dir.filePath("a.tql")}, 3},
        {{fifo, dir.filePath("a.mid")}, 3},
        {{dir.filePath("zero.mid"), dir.filePath("a.tql")}, 3},
        {{kSong, dir.filePath("no/such/folder/a.mid")}, 4},
        {{kSong, dir.filePath("taken.mid")}, 4},
        {{kSong, dir.filePath("song.mid")}, 0},
        {{dir.filePath("song.mid"), dir.filePath("back.tql")}, 0},
        {{kSong, dir.filePath("song.midi")}, 0},
        {{"--tune", "two", tunes, dir.filePath("two.tql")}, 0},
        {{"--list", tunes}, 0},
        {{"--tune", "3", tunes, dir.filePath("three.tql")}, 2},
        {{badTune, dir.filePath("bad.tql")}, 3},
        {{dir.filePath("song.midi"), dir.filePath("back.tql")}, 0},
        {{kSong, dir.filePath("song.rtttl")}, 0},
        {{"--tune", "One", tunes, dir.filePath("one.mid")}, 0},
        {{"--tune", "One", kSong, dir.filePath("one.mid")}, 2},
        {{tunes, dir.filePath("again.rtx")}, 2},
        {{"--beat", "ODD", tunes, dir.filePath("one.sh")}, 0},
        {{"--portamento", kSong, dir.filePath("song.ino")}, 0},
        {{"--beat", "odd", kSong, dir.filePath("beat.mid")}, 2},
        {{"--glide", "0.5", kSong, dir.filePath("glide.sh")}, 2},
        {{"--portamento", "--glide", "inf", kSong, dir.filePath("glide.sh")}, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Exec(QStringLiteral(TQ_CONVERT), c.args), c.code)
            << c.args.join(' ').toStdString();
    }
    EXPECT_EQ(QDir(dir.path())
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
              (QStringList{"back.tql", "bad.rtx", "fifo.tql", "list.tql", "noise.mid", "one.mid",
                           "one.sh", "song.ino", "song.mid", "song.midi", "song.rtttl", "taken.mid",
                           "tunes.rtttl", "two.tql", "zero.mid"}));
}

// Runs the program with arguments given as bytes, as a shell passes them.
int ExecRaw(const std::vector<QByteArray>& args) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (const QByteArray& a : args) {
            argv.push_back(const_cast<char*>(a.constData()));
        }
        argv.push_back(nullptr);
        ::setenv("LC_ALL", "C.UTF-8", 1);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Convert, FileNamesThatAreNotUtf8AreUsedAsTheyAre) {
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    const QByteArray convert = QFile::encodeName(QStringLiteral(TQ_CONVERT));
    const QByteArray midi = folder + "in\xe9.mid";
    const QByteArray song = folder + "bad\xff.tql";
    ASSERT_EQ(ExecRaw({convert, QFile::encodeName(kSong), midi}), 0);
    ASSERT_EQ(ExecRaw({convert, midi, song}), 0);
    struct stat st {};
    EXPECT_EQ(::stat(song.constData(), &st), 0);
    EXPECT_EQ(ExecRaw({QFile::encodeName(QStringLiteral(TQ_PLAYER)), song, "--wav", "/dev/null"}),
              0);
}

} // namespace
} // namespace tq
