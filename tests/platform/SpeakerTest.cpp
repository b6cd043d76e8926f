#include "platform/DeviceSpeaker.h"
#include "platform/SpeakerFactory.h"
#include "platform/SpeakerSilencer.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tq {
namespace {

// A FIFO standing in for the pcspkr input device, with its reader.
class FakePcspkr {
public:
    FakePcspkr() : path_(dir_.path() + QStringLiteral("/pcspkr")) {
        mkfifo(path_.toLocal8Bit().constData(), 0600);
        readFd_ = ::open(path_.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
    }
    ~FakePcspkr() { CloseReader(); }
    QString Path() const { return path_; }
    void CloseReader() {
        if (readFd_ >= 0) {
            ::close(readFd_);
            readFd_ = -1;
        }
    }
    // Tone values of the events written so far, waiting up to timeoutMs for at least n.
    std::vector<int> Tones(size_t n = 0, int timeoutMs = 0) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            input_event ev;
            while (::read(readFd_, &ev, sizeof ev) == static_cast<ssize_t>(sizeof ev)) {
                EXPECT_EQ(ev.type, EV_SND);
                EXPECT_EQ(ev.code, SND_TONE);
                tones_.push_back(ev.value);
            }
            if (tones_.size() >= n || std::chrono::steady_clock::now() >= until) {
                return tones_;
            }
            pollfd p{readFd_, POLLIN, 0};
            ::poll(&p, 1, 20);
        }
    }

private:
    QTemporaryDir dir_;
    QString path_;
    int readFd_ = -1;
    std::vector<int> tones_;
};

TEST(EvdevSpeaker, ATonesIsSwitchedOnAndOffAndOutOfRangeFrequenciesAreRefused) {
    FakePcspkr device;
    EvdevSpeaker speaker(device.Path());
    ASSERT_TRUE(speaker.IsOpen());
    EXPECT_EQ(speaker.Name(), "evdev");
    struct Case {
        int frequency;
        bool ok;
    };
    const Case cases[] = {{440, true},    {37, true}, {32767, true}, {36, false},
                          {32768, false}, {0, false}, {-5, false}};
    std::vector<int> expected;
    for (const Case& c : cases) {
        EXPECT_EQ(speaker.Beep(c.frequency, 2), c.ok) << c.frequency;
        if (c.ok) {
            expected.push_back(c.frequency);
            expected.push_back(0);
        }
    }
    EXPECT_EQ(device.Tones(), expected);
}

TEST(EvdevSpeaker, AWriteErrorDoesNotEndTheProgramAndTheTimeIsStillWaited) {
    FakePcspkr device;
    EvdevSpeaker speaker(device.Path());
    ASSERT_TRUE(speaker.IsOpen());
    device.CloseReader();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(speaker.Beep(440, 20));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
}

TEST(SpeakerFactory, UnopenableBackEndsFallBackInOrder) {
    QTemporaryDir dir;
    FakePcspkr device;
    struct Case {
        QString wanted;
        bool evdevOpens;
        bool haveEmulated;
        QString chosen;
    };
    const Case cases[] = {
        {"auto", true, true, "evdev"},        {"auto", false, true, "emulated"},
        {"auto", false, false, "none"},       {"evdev", false, false, "none"},
        {"console", true, true, "emulated"},  {"none", true, true, "none"},
        {"emulated", true, true, "emulated"}, {"bogus", true, false, "evdev"},
    };
    for (const Case& c : cases) {
        SpeakerOptions o;
        o.wanted = c.wanted;
        o.evdevPath = c.evdevOpens ? device.Path() : dir.path() + "/no-such-device";
        o.consolePaths = {dir.path() + "/no-such-console"};
        if (c.haveEmulated) {
            o.makeEmulated = [](QString*) -> std::unique_ptr<Speaker> {
                class Emulated final : public Speaker {
                public:
                    QString Name() const override { return QStringLiteral("emulated"); }
                    bool Beep(int32_t, int32_t) override { return true; }
                    void Silence() override {}
                };
                return std::make_unique<Emulated>();
            };
        }
        const SpeakerChoice choice = OpenSpeaker(o);
        ASSERT_TRUE(choice.speaker);
        EXPECT_EQ(choice.speaker->Name(), c.chosen) << c.wanted.toStdString();
        EXPECT_EQ(choice.notes.last(), "Speaker: using '" + c.chosen + "'");
    }
}

TEST(EvdevSpeaker, AnOrdinaryFileOrFolderIsRefusedAndLeftAsItWas) {
    QTemporaryDir dir;
    QFile file(dir.filePath("notes.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();
    for (const QString& path : {file.fileName(), dir.path()}) {
        QString why;
        EvdevSpeaker speaker(path, &why);
        EXPECT_FALSE(speaker.IsOpen()) << path.toStdString();
        if (path == file.fileName()) { // a folder does not open for writing at all
            EXPECT_EQ(why, path + ": not a character device or FIFO");
        }
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "keep me");
}

TEST(NullSpeaker, WaitsTheDurationWithoutSound) {
    NullSpeaker speaker;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(speaker.Beep(440, 15));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(15));
    EXPECT_FALSE(speaker.Beep(20, 1000)); // refused at once
}

TEST(SpeakerSilencer, TheToneIsSwitchedOffWhenTheProcessIsKilledBySignals) {
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGSEGV, SIGABRT}) {
        FakePcspkr device;
        QProcess child;
        child.start(QStringLiteral(TQ_SPEAKER_CHILD), {device.Path()});
        ASSERT_TRUE(child.waitForReadyRead(10000)) << sig;
        EXPECT_EQ(device.Tones(1, 5000), std::vector<int>({880})) << sig;
        ::kill(static_cast<pid_t>(child.processId()), sig);
        ASSERT_TRUE(child.waitForFinished(10000));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit) << sig;
        EXPECT_EQ(device.Tones(2, 5000), std::vector<int>({880, 0})) << sig;
    }
}

} // namespace
} // namespace tq
