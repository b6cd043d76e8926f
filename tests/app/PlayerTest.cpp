// The headless player, run as a user would run it.
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "MidiFileBytes.h"

#include <gtest/gtest.h>

#include <csignal>

namespace tq {
namespace {

struct PlayResult {
    int exitCode;
    QString err;
};

PlayResult Play(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(TQ_PLAYER), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardError())};
}

QByteArray Md5(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5).toHex()
               : QByteArray();
}

const QString kExamples = QStringLiteral(TQ_EXAMPLES);

TEST(Player, ExitCodesTellWhatHappened) {
    QTemporaryDir dir;
    QFile foreign(dir.filePath("notes.txt"));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("shopping list\r\n");
    foreign.close();
    QFile divisionZero(dir.filePath("zero.mid"));
    ASSERT_TRUE(divisionZero.open(QIODevice::WriteOnly));
    divisionZero.write(QByteArray("MThd\0\0\0\6\0\1\0\1\0\0", 14));
    divisionZero.close();
    struct Case {
        QStringList args;
        int code;
        const char* says;
    };
    const Case cases[] = {
        {{}, 2, "no song file given"},
        {{kExamples + "/C major scale.tql", "--passes", "zero"},
         2,
         "--passes: 'zero' is not a number"},
        {{kExamples + "/C major scale.tql", "--passes", "0"}, 2, "--passes: '0' is less than 1"},
        {{kExamples + "/C major scale.tql", "--speaker", "loud"},
         2,
         "--speaker: 'loud' is not one of auto, evdev, console, emulated, none"},
        {{kExamples + "/C major scale.tql", "--midi-channel", "17"},
         2,
         "--midi-channel: '17' is more than 16"},
        {{kExamples + "/C major scale.tql", "--midi-out", "0", "--wav", dir.filePath("x.wav")},
         2,
         "--midi-out and --midi-in play in real time and cannot go with --wav"},
        {{dir.filePath("missing.tql"), "--wav", dir.filePath("m.wav")}, 3, "can't be seen"},
        {{divisionZero.fileName(), "--wav", dir.filePath("d.wav")},
         3,
         "Failed to open MIDI file!: Either couldn't open or couldn't recognize file format"},
        {{"--midi-in", "0", "--channels", "1,17"},
         2,
         "--channels: '17' is not a channel from 1 to 16"},
        {{foreign.fileName(), "--wav", dir.filePath("f.wav")}, 3, "Probably weird file format"},
        {{kExamples + "/C major scale.tql", "--wav", dir.filePath("s.wav")}, 0, ""},
    };
    for (const Case& c : cases) {
        const PlayResult r = Play(c.args);
        EXPECT_EQ(r.exitCode, c.code) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("f.wav")));
}

TEST(Player, CtrlCStopsPlayingAndSaysSoInTheExitCode) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(TQ_PLAYER), {kExamples + "/C major scale.tql", "--speaker", "none"});
    ASSERT_TRUE(p.waitForReadyRead(10000)); // "Speaker: using 'none'", then the song plays
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);
}

TEST(Player, RenderingIsReproducibleAndPassesRepeatTheSong) {
    QTemporaryDir dir;
    const QString song = kExamples + "/Dots and triplets.tql";
    for (const char* name : {"a", "b"}) {
        ASSERT_EQ(Play({song, "--wav", dir.filePath(QString(name) + ".wav"), "--tone-code",
                        dir.filePath(QString(name) + ".code"), "--debug-log",
                        dir.filePath(QString(name) + ".log")})
                      .exitCode,
                  0);
    }
    for (const char* ext : {".wav", ".code", ".log"}) {
        EXPECT_EQ(Md5(dir.filePath(QString("a") + ext)), Md5(dir.filePath(QString("b") + ext)))
            << ext;
    }
    ASSERT_EQ(Play({song, "--passes", "3", "--wav", dir.filePath("c.wav")}).exitCode, 0);
    // 16-bit mono at 48 kHz: three passes take three times the samples of one (+- a block).
    const qint64 one = QFile(dir.filePath("a.wav")).size() - 44;
    const qint64 three = QFile(dir.filePath("c.wav")).size() - 44;
    EXPECT_NEAR(static_cast<double>(three), 3.0 * static_cast<double>(one), 3 * 64.0);
    QFile code(dir.filePath("a.code"));
    ASSERT_TRUE(code.open(QIODevice::ReadOnly));
    EXPECT_TRUE(code.readLine().startsWith("Beep         392,"));
}

TEST(Player, AMidiFileIsCycledOnTheSpeakerTheSameOnEveryRender) {
    using namespace smf;
    QTemporaryDir dir;
    // A C major chord for a quarter note at 120 BPM, then nothing.
    const QByteArray chord = Ev(0, {0x90, 60, 90}) + Ev(0, {0x90, 64, 90}) + Ev(0, {0x90, 67, 90}) +
                             Ev(480, {0x80, 60, 0}) + Ev(0, {0x80, 64, 0}) + Ev(0, {0x80, 67, 0});
    QFile mid(dir.filePath("chord.mid"));
    ASSERT_TRUE(mid.open(QIODevice::WriteOnly));
    mid.write(File(1, 480, {Tempo(0, 500000) + EndOfTrack(), chord + EndOfTrack()}));
    mid.close();
    for (const char* name : {"a", "b"}) {
        const PlayResult r = Play({mid.fileName(), "--wav", dir.filePath(QString(name) + ".wav"),
                                   "--tone-code", dir.filePath(QString(name) + ".code")});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    }
    EXPECT_EQ(Md5(dir.filePath("a.wav")), Md5(dir.filePath("b.wav")));
    QFile code(dir.filePath("a.code"));
    ASSERT_TRUE(code.open(QIODevice::ReadOnly));
    QStringList notes;
    for (const QByteArray& line : code.readAll().split('\n')) {
        if (line.startsWith("Beep")) {
            notes << QString::fromLatin1(line.mid(line.indexOf('\'') + 1)).trimmed();
        }
    }
    // Three held notes take turns, 10 ms each, for half a second.
    ASSERT_GE(notes.size(), 20);
    EXPECT_EQ(notes.mid(0, 4), QStringList({"C5", "E5", "G5", "C5"}));
}

} // namespace
} // namespace tq
