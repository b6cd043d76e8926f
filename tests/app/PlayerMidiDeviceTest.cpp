#include "JackMidiReceiver.h"
#include "JackServer.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tq {
namespace {

using namespace std::chrono_literals;

// tonquill-play with --midi-out on a JACK dummy server: the song reaches a receiving
// client on the chosen channel with the chosen instrument.
TEST(PlayerMidiDevice, ASongPlayedToAMidiPortArrivesOnItsChannelAndInstrument) {
    JackServer server;
    std::string why;
    ASSERT_TRUE(server.Start(&why)) << why;
    JackMidiReceiver receiver;
    ASSERT_TRUE(receiver.Open("player-receiver", &why)) << why;

    QTemporaryDir dir;
    QFile song(dir.filePath("two.tql"));
    ASSERT_TRUE(song.open(QIODevice::WriteOnly));
    song.write("Tonquill by Vellomar file format\r\nRevision 148\r\nBPM 600\r\n"
               "MUSICLISTSTART\r\n//Length Note1 Note2\r\n1/16 C4 - -\r\n1/16 - A4 -\r\n");
    song.close();

    QProcess player;
    player.start(QStringLiteral(TQ_PLAYER),
                 {song.fileName(), "--speaker", "none", "--midi-out", "PLAYER-receiver",
                  "--midi-channel", "3", "--midi-instrument", "41"});
    ASSERT_TRUE(player.waitForFinished(20000));
    EXPECT_EQ(player.exitCode(), 0) << player.readAllStandardError().toStdString();

    QStringList got;
    for (const QByteArray& m : receiver.Take(4105, 5s)) {
        got << QString::fromLatin1(m.toHex(' ')).toUpper();
    }
    // As the window does it: the start-up silences every channel on the default port and
    // sets program 0; then the port, the channel (silencing all 16 again), the instrument,
    // and the two notes ("C4" is 48, "A4" 57).
    ASSERT_EQ(got.size(), 2048 + 3 + 1 + 2048 + 1 + 4);
    EXPECT_EQ(got.mid(2048, 4), QStringList({"C0 00", "C0 00", "C0 00", "C2 00"}));
    EXPECT_EQ(got.mid(4100),
              QStringList({"C2 28", "92 30 60", "82 30 00", "92 39 60", "82 39 00"}));
}

} // namespace
} // namespace tq
