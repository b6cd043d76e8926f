// The headless player, run as a user would run it.
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTime>

#include "MidiFileBytes.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include <sys/stat.h>

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
    QFile foreign(dir.filePath("notes.dat")); // not .txt, which would be ringtone text
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("shopping list\r\n");
    foreign.close();
    QFile divisionZero(dir.filePath("zero.mid"));
    ASSERT_TRUE(divisionZero.open(QIODevice::WriteOnly));
    divisionZero.write(QByteArray("MThd\0\0\0\6\0\1\0\1\0\0", 14));
    divisionZero.close();
    QFile huge(dir.filePath("huge.mid"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write("MThd");
    ASSERT_TRUE(huge.resize(qint64{16} * 1024 * 1024 + 1)); // sparse: no disk used
    huge.close();
    const QString fifo = dir.filePath("fifo.tql");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    struct Case {
        QStringList args;
        int code;
        const char* says;
    };
    const Case cases[] = {
        {{kExamples + "/C major scale.tql", "--beat", "odd", "--portamento", "--wav",
          dir.filePath("mods.wav")},
         0,
         ""},
        {{dir.filePath("missing.tql"), "--wav", dir.filePath("m.wav")},
         3,
         "No such file or directory"},
        {{fifo, "--wav", dir.filePath("p.wav")}, 3, "It is a pipe, not a file."},
        {{huge.fileName(), "--wav", dir.filePath("h.wav")},
         3,
         "It is 16777217 bytes, more than the limit of 16777216 bytes."},
        {{kExamples + "/C major scale.tql", "--wav", dir.filePath("no/folder/s.wav")},
         4,
         "No such file or directory"},
        {{kExamples + "/C major scale.tql", "--speaker", "none", "--start-at", "00:00:00",
          "--from-line", "99999"},
         2,
         "--from-line: '99999' is past the song's last line, 15"},
        {{divisionZero.fileName(), "--wav", dir.filePath("d.wav")},
         3,
         "Failed to open MIDI file: Either couldn't open or couldn't recognize file format"},
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

TEST(Player, SignalsStopPlayingEvenDuringALongToneAndSaySoInTheExitCode) {
    QTemporaryDir dir;
    const QString slow = Written(dir, "slow.tql", // one tone of four minutes
                                 "Tonquill by Vellomar file format\nRevision 148\nBPM 1\n"
                                 "NoteSilenceRatio 100\nMUSICLISTSTART\nWhole C4 - -\n");
    const QString scale = kExamples + "/C major scale.tql";
    for (const auto& [song, sig] :
         {std::pair{scale, SIGINT}, std::pair{slow, SIGINT}, std::pair{slow, SIGTERM}}) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral(TQ_PLAYER), {song, "--speaker", "none"});
        ASSERT_TRUE(p.waitForReadyRead(10000)); // "Speaker: using 'none'", then the song plays
        ::kill(static_cast<pid_t>(p.processId()), sig);
        ASSERT_TRUE(p.waitForFinished(10000)) << song.toStdString();
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 1) << song.toStdString() << " " << sig;
    }
}

TEST(Player, ASongOfLinesWithoutLengthEndsAtOnceHoweverManyPasses) {
    QTemporaryDir dir;
    const QString typo = Written(dir, "typo.tql",
                                 "Tonquill by Vellomar file format\nRevision 148\n"
                                 "MUSICLISTSTART\nQuater F4 - -\n");
    EXPECT_EQ(Play({typo, "--speaker", "none", "--passes", "2000000000"}).exitCode, 0);
}

TEST(Player, CtrlCWhileWaitingForTheStartTimeEndsTheWait) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    const QString inAnHour = QTime::currentTime().addSecs(3600).toString("HH:mm:ss");
    p.start(QStringLiteral(TQ_PLAYER),
            {kExamples + "/C major scale.tql", "--speaker", "none", "--start-at", inAnHour});
    QByteArray out;
    while (!out.contains("Waiting for") && p.waitForReadyRead(10000)) {
        out += p.readAll();
    }
    ASSERT_TRUE(out.contains("Waiting for " + inAnHour.toLatin1()));
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(10000));
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

// 16-bit mono samples of a WAV file the player wrote, as floats.
std::vector<float> WavSamples(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll().mid(44);
    std::vector<float> out(static_cast<size_t>(bytes.size() / 2));
    for (size_t i = 0; i < out.size(); ++i) {
        const auto lo = static_cast<uint8_t>(bytes[2 * i]);
        const auto hi = static_cast<int8_t>(bytes[2 * i + 1]);
        out[i] = static_cast<float>(hi * 256 + lo) / 32768.0f;
    }
    return out;
}

// The speaker's part is the same with and without the voice, so the difference of the
// two files is the voice alone: it sings the first line's Note 2, E5, at 659.26 x 1.08 / 4.
TEST(Player, TheVoiceSingsNote2IntoTheRenderedFileTheSameOnEveryRender) {
    QTemporaryDir dir;
    const QString song = kExamples + "/Voice.tql";
    ASSERT_EQ(Play({song, "--wav", dir.filePath("plain.wav")}).exitCode, 0);
    for (const char* name : {"a.wav", "b.wav"}) {
        ASSERT_EQ(Play({song, "--voice", "--vowel", "O", "--wav", dir.filePath(name)}).exitCode, 0);
    }
    EXPECT_EQ(Md5(dir.filePath("a.wav")), Md5(dir.filePath("b.wav")));
    const std::vector<float> plain = WavSamples(dir.filePath("plain.wav"));
    const std::vector<float> sung = WavSamples(dir.filePath("a.wav"));
    ASSERT_EQ(plain.size(), sung.size());
    std::vector<float> voice(48000); // 0.25 s to 1.25 s: inside the first line (a half)
    for (size_t i = 0; i < voice.size(); ++i) {
        voice[i] = sung[i + 12000] - plain[i + 12000];
    }
    int best = 0;
    double bestSum = 0.0;
    for (int lag = 100; lag < 600; ++lag) {
        double sum = 0.0;
        for (size_t i = 0; i + lag < voice.size(); ++i) {
            sum += static_cast<double>(voice[i]) * voice[i + lag];
        }
        if (sum > bestSum) {
            bestSum = sum;
            best = lag;
        }
    }
    ASSERT_GT(best, 0);
    EXPECT_NEAR(48000.0 / best, 178.0, 1.0);
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
    // --midi-octave 1 reads the file as General MIDI does: note 60 is middle C, "C4".
    ASSERT_EQ(Play({mid.fileName(), "--wav", dir.filePath("gm.wav"), "--midi-octave", "1",
                    "--tone-code", dir.filePath("gm.code")})
                  .exitCode,
              0);
    for (const auto& [name, first] : {std::pair{"a", QStringList({"C5", "E5", "G5", "C5"})},
                                      std::pair{"gm", QStringList({"C4", "E4", "G4", "C4"})}}) {
        QFile code(dir.filePath(QString(name) + ".code"));
        ASSERT_TRUE(code.open(QIODevice::ReadOnly));
        QStringList notes;
        for (const QByteArray& line : code.readAll().split('\n')) {
            if (line.startsWith("Beep")) {
                notes << QString::fromLatin1(line.mid(line.indexOf('\'') + 1)).trimmed();
            }
        }
        // Three held notes take turns, 10 ms each, for half a second.
        ASSERT_GE(notes.size(), 20) << name;
        EXPECT_EQ(notes.mid(0, 4), first) << name;
    }
}

// The share of a render's samples, from its first sound to its last, that lie outside
// silences longer than half a millisecond.
double SoundingShare(const QString& wavPath) {
    QFile f(wavPath);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const qsizetype data = bytes.indexOf("data") + 8;
    std::vector<int16_t> s(static_cast<size_t>((bytes.size() - data) / 2));
    std::memcpy(s.data(), bytes.constData() + data, s.size() * 2);
    const auto first = std::find_if(s.begin(), s.end(), [](int16_t v) { return v != 0; });
    const auto last = std::find_if(s.rbegin(), s.rend(), [](int16_t v) { return v != 0; });
    const auto span = static_cast<double>(s.rend() - last - (first - s.begin()));
    size_t gaps = 0, run = 0;
    for (auto it = first; it != last.base(); ++it) {
        run = *it == 0 ? run + 1 : 0;
        gaps += run == 25 ? 25 : run > 25 ? 1 : 0; // 0.5 ms at 48 kHz
    }
    return 1.0 - static_cast<double>(gaps) / span;
}

// The pulse times of a rendered MIDI file's tones, from its tone-code log.
QList<int> PulseTimes(const QString& codePath) {
    QFile code(codePath);
    EXPECT_TRUE(code.open(QIODevice::ReadOnly));
    QList<int> times;
    for (const QByteArray& line : code.readAll().split('\n')) {
        if (line.startsWith("Beep")) {
            times << line.mid(line.indexOf(',') + 1, line.indexOf('\'') - line.indexOf(',') - 1)
                         .trimmed()
                         .toInt();
        }
    }
    return times;
}

// Without the automatic time a MIDI file pulses for the alternation time in force, as live
// input does; with it, 30 ms are shared between the held notes.
TEST(Player, HeldNotesOfAMidiFilePulseForTheAlternationTimeInForce) {
    using namespace smf;
    QTemporaryDir dir;
    const QByteArray two = Ev(0, {0x90, 60, 90}) + Ev(0, {0x90, 64, 90}) + Ev(480, {0x80, 60, 0}) +
                           Ev(0, {0x80, 64, 0});
    const QString mid = Written(dir, "two.mid", File(0, 480, {two + EndOfTrack()}));
    const std::pair<QStringList, int> cases[] = {
        {{}, 15},
        {{"--no-auto-time"}, 30},
        {{"--alternate-time", "40"}, 40},
    };
    for (const auto& [options, pulse] : cases) {
        const QString code = dir.filePath(QString("%1.code").arg(pulse)); // logs append
        const PlayResult r =
            Play(QStringList{mid, "--wav", dir.filePath("p.wav"), "--tone-code", code} + options);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QList<int> times = PulseTimes(code);
        ASSERT_FALSE(times.isEmpty()) << options.join(' ').toStdString();
        EXPECT_EQ(times, QList<int>(times.size(), pulse)) << options.join(' ').toStdString();
    }
}

TEST(Player, HeldNotesFollowEachOtherWithoutAGap) {
    using namespace smf;
    QTemporaryDir dir;
    // Held for two seconds at 120 BPM: one note, then a chord of three.
    const QByteArray one = Ev(0, {0x90, 60, 90}) + Ev(1920, {0x80, 60, 0});
    const QByteArray chord = Ev(0, {0x90, 60, 90}) + Ev(0, {0x90, 64, 90}) + Ev(0, {0x90, 67, 90}) +
                             Ev(1920, {0x80, 60, 0}) + Ev(0, {0x80, 64, 0}) + Ev(0, {0x80, 67, 0});
    for (const auto& [name, track, atLeast] :
         {std::tuple{"one", one, 0.97}, std::tuple{"chord", chord, 0.90}}) {
        const QString mid = Written(dir, "held.mid", File(0, 480, {track + EndOfTrack()}));
        const QString wav = dir.filePath(QString(name) + ".wav");
        ASSERT_EQ(Play({mid, "--wav", wav}).exitCode, 0);
        EXPECT_GE(SoundingShare(wav), atLeast) << name;
    }
}

} // namespace
} // namespace tq
