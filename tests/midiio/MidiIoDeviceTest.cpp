// The MIDI ports component as the program loads it, sending to a JACK dummy server.
#include "platform/Components.h"
#include "platform/MidiIoComponent.h"

#include "JackMidiReceiver.h"
#include "JackMidiSender.h"
#include "JackServer.h"

#include <QEventLoop>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

namespace tq {
namespace {

using namespace std::chrono_literals;

// What this process writes to stdout and stderr, from any thread, while it lives.
class CapturedOutput {
public:
    CapturedOutput() : file_(std::tmpfile()) {
        std::fflush(nullptr);
        for (int fd : {1, 2}) {
            saved_[fd - 1] = dup(fd);
            dup2(fileno(file_), fd);
        }
    }
    ~CapturedOutput() { std::fclose(file_); }

    std::string Stop() {
        std::fflush(nullptr);
        for (int fd : {1, 2}) {
            dup2(saved_[fd - 1], fd);
            close(saved_[fd - 1]);
        }
        std::string text(static_cast<size_t>(std::ftell(file_)), '\0');
        std::rewind(file_);
        text.resize(std::fread(text.data(), 1, text.size(), file_));
        return text;
    }

private:
    std::FILE* file_;
    int saved_[2] = {};
};

QStringList Hex(const QList<QByteArray>& messages) {
    QStringList hex;
    for (const QByteArray& m : messages) {
        hex << QString::fromLatin1(m.toHex(' ')).toUpper();
    }
    return hex;
}

MidiIoComponent* LoadMidiIo(std::unique_ptr<LoadedComponent>* component) {
    QString why;
    *component = LoadComponent(QStringLiteral(TQ_MIDIIO_PLUGIN), kMidiIoComponent, &why);
    EXPECT_TRUE(*component) << why.toStdString();
    return *component ? qobject_cast<MidiIoComponent*>((*component)->Instance()) : nullptr;
}

class MidiIoDevice : public testing::Test {
protected:
    JackServer server;
    std::unique_ptr<LoadedComponent> component;
    std::unique_ptr<MidiOutput> output;
    JackMidiReceiver receiver;

    void SetUp() override {
        if (!JackServer::Installed()) {
            GTEST_SKIP() << "jackd is not installed";
        }
        MidiIoComponent* midiIo = LoadMidiIo(&component);
        ASSERT_NE(midiIo, nullptr);
        output = midiIo->CreateOutput(QStringLiteral("Tonquill"));
    }

    // Starts the server with one receiving client, and opens the default port: the
    // receiver, as JACK's ports come first.
    void OpenTheReceiver() {
        std::string jackWhy;
        ASSERT_TRUE(server.Start(&jackWhy)) << jackWhy;
        ASSERT_TRUE(receiver.Open("midi-receiver", &jackWhy)) << jackWhy;
        const QStringList ports = output->PortNames();
        ASSERT_FALSE(ports.isEmpty());
        EXPECT_EQ(ports.first(), QStringLiteral("JACK: midi-receiver:midi_in"));
        QString why;
        ASSERT_TRUE(output->Open(-1, &why)) << why.toStdString();
        EXPECT_TRUE(output->IsOpen());
    }
};

TEST_F(MidiIoDevice, WithNoServerNoJackPortIsListedNothingOpensAndNothingIsPrinted) {
    CapturedOutput captured;
    const QStringList ports = output->PortNames();
    QString why;
    const bool opened = output->Open(-1, &why);
    const bool sent = output->SendShortMessage(0x90, 60, 100);
    const std::string printed = captured.Stop();

    for (const QString& port : ports) {
        EXPECT_TRUE(port.startsWith(QStringLiteral("ALSA: "))) << port.toStdString();
    }
    if (ports.isEmpty()) {
        EXPECT_FALSE(opened);
        EXPECT_FALSE(why.isEmpty());
        EXPECT_FALSE(sent);
        EXPECT_FALSE(output->IsOpen());
    }
    EXPECT_EQ(printed, "");
}

TEST_F(MidiIoDevice, ASongArrivesByteForByteAndSweepsOfEveryNoteOffArriveWholeAndInOrder) {
    ASSERT_NO_FATAL_FAILURE(OpenTheReceiver());
    const QList<std::array<uint8_t, 3>> song = {
        {0xC6, 0x05, 0x00}, {0x96, 60, 0x60}, {0x86, 60, 0x00},
        {0xD6, 0x40, 0x00}, {0x96, 67, 0x60}, {0x86, 67, 0x00},
    };
    for (const auto& m : song) {
        EXPECT_TRUE(output->SendShortMessage(m[0], m[1], m[2]));
    }
    EXPECT_EQ(Hex(receiver.Take(song.size(), 2s)),
              QStringList({"C6 05", "96 3C 60", "86 3C 00", "D6 40", "96 43 60", "86 43 00"}));

    // One period's MIDI buffer takes some 2700 short messages here, so four sweeps back to
    // back have to be spread over several periods.
    QStringList sweeps;
    for (int sweep = 0; sweep < 4; ++sweep) {
        for (int channel = 0; channel < 16; ++channel) {
            for (int note = 0; note < 128; ++note) {
                const auto status = static_cast<uint8_t>(0x80 + channel);
                EXPECT_TRUE(output->SendShortMessage(status, static_cast<uint8_t>(note), 0));
                sweeps << QStringLiteral("%1 %2 00")
                              .arg(status, 2, 16, QLatin1Char('0'))
                              .arg(note, 2, 16, QLatin1Char('0'))
                              .toUpper();
            }
        }
    }
    const QStringList got = Hex(receiver.Take(sweeps.size(), 5s));
    ASSERT_EQ(got.size(), sweeps.size());
    const QList<uint32_t>& frames = receiver.TakenFrames();
    EXPECT_TRUE(std::is_sorted(frames.begin(), frames.end()));
    const auto mismatch = std::mismatch(got.begin(), got.end(), sweeps.begin());
    EXPECT_EQ(mismatch.first, got.end())
        << "message " << (mismatch.first - got.begin()) << " is " << mismatch.first->toStdString()
        << ", not " << mismatch.second->toStdString();
}

// Messages reach the port as far apart as they were sent, one period later, not bunched at
// the start of the period after the one they were sent in.
TEST_F(MidiIoDevice, MessagesArriveAsFarApartAsTheyWereSent) {
    ASSERT_NO_FATAL_FAILURE(OpenTheReceiver());
    std::this_thread::sleep_for(200ms); // the connection joins the server's graph
    std::vector<std::chrono::steady_clock::time_point> sent;
    for (int i = 0; i < 24; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(1500 + 650 * (i % 7)));
        sent.push_back(std::chrono::steady_clock::now());
        EXPECT_TRUE(output->SendShortMessage(0x99, static_cast<uint8_t>(40 + i), 100));
    }
    ASSERT_EQ(receiver.Take(sent.size(), 2s).size(), static_cast<qsizetype>(sent.size()));
    const QList<uint32_t>& frames = receiver.TakenFrames();
    for (size_t i = 1; i < sent.size(); ++i) {
        const double sentMs =
            std::chrono::duration<double, std::milli>(sent[i] - sent[0]).count();
        const double portMs = (frames[static_cast<qsizetype>(i)] - frames[0]) / 48.0;
        EXPECT_NEAR(portMs, sentMs, 1.0) << "message " << i;
    }
}

TEST_F(MidiIoDevice, APortThatGoesAwayFailsTheNextSendsReportsOnceAndNothingHangs) {
    struct Case {
        const char* how;
        std::function<void()> goAway;
        QString failure;
    };
    const Case cases[] = {
        {"the server shuts down", [this] { server.Stop(); },
         QStringLiteral("The JACK server has shut down")},
        {"the receiving client closes", [this] { receiver.Close(); },
         QStringLiteral("The JACK port midi-receiver:midi_in has gone.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        ASSERT_NO_FATAL_FAILURE(OpenTheReceiver());
        EXPECT_TRUE(output->SendShortMessage(0x90, 60, 100));
        EXPECT_EQ(receiver.Take(1, 2s).size(), 1);

        CapturedOutput captured;
        c.goAway();
        // The news comes from JACK's own thread: sends before it still queue.
        const auto until = std::chrono::steady_clock::now() + 3s;
        while (output->SendShortMessage(0x80, 60, 0) && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(5ms);
        }
        EXPECT_FALSE(output->SendShortMessage(0x80, 60, 0));
        EXPECT_TRUE(output->IsOpen());
        EXPECT_TRUE(output->TakeFailure().startsWith(c.failure));
        EXPECT_EQ(output->TakeFailure(), QString());
        EXPECT_FALSE(output->PortNames().contains(QStringLiteral("JACK: midi-receiver:midi_in")));
        output->Close();
        EXPECT_FALSE(output->IsOpen());
        EXPECT_EQ(captured.Stop(), "");

        receiver.Close();
        server.Stop();
    }
}

// The input side: a sending client made here, and the component's input.
class MidiInDevice : public testing::Test {
protected:
    JackServer server;
    std::unique_ptr<LoadedComponent> component;
    MidiIoComponent* midiIo = nullptr;
    std::unique_ptr<MidiInput> input;
    JackMidiSender sender;
    int calls = 0;
    QThread* calledOn = nullptr;
    QEventLoop* waiting = nullptr;

    void SetUp() override {
        if (!JackServer::Installed()) {
            GTEST_SKIP() << "jackd is not installed";
        }
        midiIo = LoadMidiIo(&component);
        ASSERT_NE(midiIo, nullptr);
        input = midiIo->CreateInput(QStringLiteral("Tonquill"));
        input->SetMessagesWaiting([this] {
            ++calls;
            calledOn = QThread::currentThread();
            if (waiting != nullptr) {
                waiting->quit();
            }
        });
    }

    void OpenTheSender() {
        std::string jackWhy;
        ASSERT_TRUE(server.Start(&jackWhy)) << jackWhy;
        ASSERT_TRUE(sender.Open("midi-sender", &jackWhy)) << jackWhy;
        const QStringList ports = input->PortNames();
        ASSERT_FALSE(ports.isEmpty());
        EXPECT_EQ(ports.first(), QStringLiteral("JACK: midi-sender:midi_out"));
        QString why;
        ASSERT_TRUE(input->Open(0, &why)) << why.toStdString();
        ASSERT_TRUE(ConnectionCarries());
    }

    // A new connection carries nothing until the server has redrawn its graph, which a
    // loaded machine takes periods to do: sends until a message gets through, then leaves
    // the input stopped and empty, the handler's calls uncounted.
    bool ConnectionCarries() {
        input->Start();
        MidiMessage m;
        bool arrived = false;
        for (int i = 0; i < 100 && !arrived; ++i) {
            sender.Send({QByteArray::fromHex("800000")});
            QTest::qWait(20);
            arrived = input->TakeMessage(&m);
        }
        input->Stop();
        QTest::qWait(20);
        while (input->TakeMessage(&m)) {
        }
        input->TakeFailure();
        calls = 0;
        return arrived;
    }

    // Runs the event loop until the handler is called (true) or 2 s have passed.
    bool WaitForTheHandler() {
        QEventLoop loop;
        const int before = calls;
        waiting = &loop;
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec();
        waiting = nullptr;
        return calls > before;
    }

    // Sends, and runs the event loop until the sender has written them and three periods
    // more have passed: whatever was queued of them is then waiting.
    void SendAndSettle(const QStringList& hex) {
        const size_t before = sender.Written();
        QList<QByteArray> messages;
        for (const QString& m : hex) {
            messages << QByteArray::fromHex(m.toLatin1());
        }
        sender.Send(messages);
        for (int i = 0; i < 5000 && sender.Written() < before + hex.size(); ++i) {
            QTest::qWait(1);
        }
        QTest::qWait(16);
    }

    QStringList TakeAll() {
        QStringList hex;
        MidiMessage m;
        while (input->TakeMessage(&m)) {
            hex << QString::asprintf("%02X %02X %02X", m.status, m.data1, m.data2);
        }
        return hex;
    }
};

TEST_F(MidiInDevice, WithNoServerNoJackSourceIsListedNothingOpensAndNothingIsPrinted) {
    CapturedOutput captured;
    const QStringList ports = input->PortNames();
    QString why;
    const bool opened = input->Open(0, &why);
    const std::string printed = captured.Stop();

    for (const QString& port : ports) {
        EXPECT_TRUE(port.startsWith(QStringLiteral("ALSA: "))) << port.toStdString();
    }
    if (ports.isEmpty()) {
        EXPECT_FALSE(opened);
        EXPECT_EQ(why, QStringLiteral("There is no MIDI input port."));
    }
    EXPECT_EQ(printed, "");
}

TEST_F(MidiInDevice, WhatArrivesWhileStartedIsTakenInOrderUnfilteredOnTheCreatingThread) {
    ASSERT_NO_FATAL_FAILURE(OpenTheSender());
    input->SetFiltered(0xFE, true);
    SendAndSettle({"90 3C 64"});
    EXPECT_EQ(calls, 0) << "queued before Start";

    input->Start();
    SendAndSettle({"90 3C 64", "80 3C 40", "90 40 00", "FE", "B0 07 64", "C0 05"});
    EXPECT_GE(calls, 1);
    EXPECT_EQ(calledOn, QThread::currentThread());
    EXPECT_EQ(TakeAll(), QStringList({"90 3C 64", "80 3C 40", "90 40 00", "B0 07 64", "C0 05 00"}));

    // The program's output does not offer its own input: that would only loop.
    const QStringList outputs = midiIo->CreateOutput(QStringLiteral("Tonquill"))->PortNames();
    EXPECT_TRUE(outputs.filter(QStringLiteral("JACK: ")).isEmpty())
        << outputs.join(", ").toStdString();

    // Stop keeps what waits; Close drops it.
    SendAndSettle({"90 3E 64"});
    input->Stop();
    SendAndSettle({"90 3F 64"});
    EXPECT_EQ(TakeAll(), QStringList({"90 3E 64"}));
    input->Start();
    SendAndSettle({"90 41 64"});
    input->Close();
    EXPECT_FALSE(input->IsOpen());
    EXPECT_EQ(TakeAll(), QStringList());
}

TEST_F(MidiInDevice, AFullQueueKeepsTheOldestMessagesAndTellsOnceHowManyWereDropped) {
    ASSERT_NO_FATAL_FAILURE(OpenTheSender());
    input->Start();
    QStringList sent;
    for (int i = 0; i < 5000; ++i) {
        sent << QString::asprintf("%02X %02X 00", 0x80 + i / 128 % 16, i % 128);
    }
    SendAndSettle(sent);
    EXPECT_EQ(TakeAll(), sent.mid(0, 4096));
    EXPECT_EQ(input->TakeFailure(), QStringLiteral("904 MIDI messages were dropped: the input "
                                                   "queue was full."));
    EXPECT_EQ(input->TakeFailure(), QString());
}

TEST_F(MidiInDevice, ASourceThatGoesAwayWakesTheHandlerReportsOnceAndNothingHangs) {
    struct Case {
        const char* how;
        std::function<void()> goAway;
        QString failure;
    };
    const Case cases[] = {
        {"the server shuts down", [this] { server.Stop(); },
         QStringLiteral("The JACK server has shut down")},
        {"the server is killed", [this] { server.Kill(); },
         QStringLiteral("The JACK server has shut down")},
        {"the sending client closes", [this] { sender.Close(); },
         QStringLiteral("The JACK port midi-sender:midi_out has gone.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        ASSERT_NO_FATAL_FAILURE(OpenTheSender());
        input->Start();
        CapturedOutput captured;
        c.goAway();
        EXPECT_TRUE(WaitForTheHandler());
        const QString failure = input->TakeFailure();
        EXPECT_TRUE(failure.startsWith(c.failure)) << failure.toStdString();
        EXPECT_EQ(input->TakeFailure(), QString());
        EXPECT_FALSE(input->PortNames().contains(QStringLiteral("JACK: midi-sender:midi_out")));
        input->Close();
        EXPECT_EQ(captured.Stop(), "");

        sender.Close();
        server.Stop();
    }
}

} // namespace
} // namespace tq
