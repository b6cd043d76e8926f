#include "EditorRig.h"
#include "JackMidiSender.h"
#include "JackServer.h"
#include "midiin/MIDIInForm.h"
#include "platform/MidiIoComponent.h"
#include "platform/QtNamedTimers.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace tq {
namespace {

// A JACK port plays into the live input window through the real MIDI ports component:
// the held table follows the notes and the cycling player sounds them.
TEST(MIDIInDevice, NotesFromAJackPortAreHeldAndCycled) {
    JackServer server;
    std::string why;
    ASSERT_TRUE(server.Start(&why)) << why;
    JackMidiSender sender;
    ASSERT_TRUE(sender.Open("keyboard", &why)) << why;

    QString loadWhy;
    auto component = LoadComponent(TQ_MIDIIO_PLUGIN, kMidiIoComponent, &loadWhy);
    ASSERT_TRUE(component) << loadWhy.toStdString();
    auto input =
        qobject_cast<MidiIoComponent*>(component->Instance())->CreateInput("tonquill-test");

    EditorRig rig;
    VirtualNamedTimers timers{rig.clock, rig.pump};
    MIDIInForm midiIn(rig.form, timers);
    midiIn.SetInputProvider([&input] { return input.get(); });
    midiIn.UseMIDIInCheck_Click(true);
    ASSERT_TRUE(midiIn.MIDIInIsOpen());
    EXPECT_EQ(midiIn.DeviceItems(), QStringList({"JACK: keyboard:midi_out"}));

    // Sends until the table shows the messages arrived: on a loaded machine the dummy
    // server may skip the sender's first periods.
    const auto sendUntil = [&sender](const QList<QByteArray>& messages,
                                     const std::function<bool()>& done) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < 20000) {
            sender.Send(messages);
            QElapsedTimer wait;
            wait.start();
            while (!done() && wait.elapsed() < 500) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            }
        }
        return done();
    };
    ASSERT_TRUE(sendUntil(
        {QByteArray("\x90\x3C\x64", 3), QByteArray("\x92\x40\x64", 3), QByteArray("\xFE", 1)},
        [&] { return midiIn.HeldState(60) == 1 && midiIn.HeldState(64) == 1; }));
    // A pressed note is pulsed at once, without waiting for the timer.
    ASSERT_FALSE(rig.Tones().isEmpty());
    EXPECT_TRUE(rig.Tones()[0].startsWith("523@")); // note 60, "C5"
    rig.form.PlayLiveMIDIInput(midiIn);
    EXPECT_FALSE(rig.Tones().filter("659@").isEmpty()); // note 64, "E5", took its turn

    ASSERT_TRUE(sendUntil({QByteArray("\x80\x3C\x00", 3), QByteArray("\x92\x40\x00", 3)},
                          [&] { return midiIn.HeldState(60) == 0 && midiIn.HeldState(64) == 0; }));
    midiIn.UseMIDIInCheck_Click(false);
    EXPECT_FALSE(midiIn.MIDIInIsOpen());
}

} // namespace
} // namespace tq
