#include "playback/ToneDispatcher.h"
#include "core/NonLockingSleep.h"
#include "diag/DebugLog.h"
#include "platform/RecordingSpeaker.h"
#include "platform/ScriptedMessageBoxes.h"
#include "platform/VirtualClock.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tq {
namespace {

constexpr int64_t kMs = 1'000'000;

// Every output appends what it was asked to do to one shared trace, so order is visible.
struct Trace {
    QStringList events;
};

class FakeMidi final : public MidiToneOutput {
public:
    explicit FakeMidi(Trace& t) : t_(t) {}
    int NoteToMIDI(int noteNum, int octave) override { return octave * 12 + noteNum; }
    void MIDINoteOn(int note) override { t_.events << QStringLiteral("on %1").arg(note); }
    void MIDINoteOff(int note, int ch) override {
        t_.events << QStringLiteral("off %1 ch%2").arg(note).arg(ch);
    }
    Trace& t_;
};

class FakeMotor final : public MotorToneOutput {
public:
    explicit FakeMotor(Trace& t) : t_(t) {}
    void PlayMotorNote(const QString& note, double ms) override {
        t_.events << QStringLiteral("motor %1 %2").arg(note).arg(ms);
    }
    Trace& t_;
};

class FakeFmod final : public FmodToneOutput {
public:
    explicit FakeFmod(Trace& t) : t_(t) {}
    void FMODBeep(int32_t f, double ms, bool noStop, bool noWait) override {
        t_.events << QStringLiteral("fmod %1 %2 nostop=%3 nowait=%4")
                         .arg(f)
                         .arg(ms)
                         .arg(noStop)
                         .arg(noWait);
    }
    Trace& t_;
};

class FakePortamento final : public PortamentoToneOutput {
public:
    explicit FakePortamento(Trace& t) : t_(t) {}
    void SetWantedPitch(int32_t f) override { t_.events << QStringLiteral("wanted %1").arg(f); }
    void StartSound() override { t_.events << QStringLiteral("glide"); }
    Trace& t_;
};

class ToneDispatcherTest : public testing::Test {
protected:
    QTemporaryDir dir;
    DebugLog log{dir.path()};
    VirtualClock clock;
    VirtualEventPump pump{clock};
    NonLockingSleep sleep{clock, pump};
    RecordingSpeaker speaker{clock};
    ScriptedMessageBoxes boxes;
    OutputSwitches switches;
    ToneDispatcher tones{log, boxes, sleep, speaker, switches};
    Trace trace;
    FakeMidi midi{trace};
    FakeMotor motor{trace};
    FakeFmod fmod{trace};
    FakePortamento portamento{trace};

    void SetUp() override {
        log.SetTimeOfDay([] { return QStringLiteral("12:00:00"); });
        tones.SetMidiOutput(&midi);
        tones.SetMotorOutput(&motor);
        tones.SetFmodOutput(&fmod);
        tones.SetPortamentoOutput(&portamento);
    }
    QStringList FileLines(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            return {};
        }
        QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
        lines.removeLast(); // after the final CR LF
        return lines;
    }
};

TEST_F(ToneDispatcherTest, ToneCodeLinesHaveTheirFixedShape) {
    log.SetUseWriteCode(true);
    tones.UniBeepValue("A4", 100, false, false, false, false);
    tones.UniBeepValue("1000", 20, true, false, false, false);
    tones.UniBeepValue("C#4", 234.5678, false, false, false, false);
    tones.UniBeepValue("123456", 1234567, true, false, false, false);
    tones.MutePiptoneClicked(true);
    tones.UniBeepValue("G2", 49.5, false, false, false, false);
    EXPECT_EQ(FileLines(log.ToneCodePath()),
              QStringList({
                  "Beep         440,    100     'A4",
                  "Beep        1000,     20     '1000 Hz [no note]",
                  "Beep         277, 234.5678     'C#4",
                  "Beep       123456, 1234567     '123456 Hz [no note]",
                  "Beep          98,   49.5     'G2",
                  "MsgWaitObj            50",
              }));
}

TEST_F(ToneDispatcherTest, DebugLogTracesTheCallAndTheSpeakerBeep) {
    log.SetLogEnabled(true);
    QString note;
    tones.UniBeep(note, 100, false, false, true, false);
    EXPECT_EQ(note, "C4");
    EXPECT_EQ(
        FileLines(log.DebugLogPath()),
        QStringList({"12:00:00 -     UniBeep(NOTESTRING:, DURATION:100, NOTEISFREQUENCY:FALSE, "
                     "SPECIFICCONTINUOUS:FALSE, SPECIFICSTOP:TRUE, FMODNOWAIT:FALSE) - START",
                     "12:00:00 -     NoteString not set - setting to C4",
                     "12:00:00 -     PC Speaker Beep 262, 100 - BEFORE",
                     "12:00:00 -     PC Speaker Beep - AFTER", "12:00:00 -     UniBeep() - END",
                     ""}));
    ASSERT_EQ(speaker.Tones().size(), 1u);
    EXPECT_EQ(speaker.Tones()[0].frequency, 262);
    EXPECT_EQ(speaker.Tones()[0].durationMs, 100);
}

TEST_F(ToneDispatcherTest, TheSpeakerBeepTakesItsDurationRoundedHalfToEven) {
    const int64_t start = clock.NowNs();
    tones.UniBeepValue("A4", 30.5, false, false, false, false);
    tones.UniBeepValue("A4", 31.5, false, false, false, false);
    ASSERT_EQ(speaker.Tones().size(), 2u);
    EXPECT_EQ(speaker.Tones()[0].durationMs, 30);
    EXPECT_EQ(speaker.Tones()[1].durationMs, 32);
    EXPECT_EQ(speaker.Tones()[1].startNs, start + 30 * kMs);
}

TEST_F(ToneDispatcherTest, ExactlyOneOutputPlaysByPriority) {
    struct Case {
        bool motor, fmod, mute, porta;
        const char* expected;
        bool speakerUsed;
    };
    const Case cases[] = {
        {true, true, true, true, "motor G2 50", false},
        {false, true, true, true, "fmod 392 50 nostop=0 nowait=0", false},
        {false, false, true, true, "", false},
        {false, false, false, true, "wanted 392|glide", false},
        {false, false, false, false, "", true},
    };
    for (const Case& c : cases) {
        trace.events.clear();
        speaker.Clear();
        switches.UseMotor = c.motor;
        switches.UseFMOD = c.fmod;
        switches.MutePCSpeaker = c.mute;
        switches.UsePortamento = c.porta;
        switches.MotorOctave = 2;
        const int64_t start = clock.NowNs();
        tones.UniBeepValue("G4", 50, false, false, false, false);
        EXPECT_EQ(trace.events.join('|'), QString::fromLatin1(c.expected));
        EXPECT_EQ(speaker.Tones().size(), c.speakerUsed ? 1u : 0u);
        // The muted wait and the speaker take the tone's time; the others keep their own.
        const bool waited = c.speakerUsed || (!c.motor && !c.fmod && c.mute);
        EXPECT_EQ(clock.NowNs() - start, waited ? 50 * kMs : 0);
    }
}

TEST_F(ToneDispatcherTest, FmodNoStopFollowsTheToneKind) {
    switches.UseFMOD = true;
    struct Case {
        bool isFrequency, continuous, stop, neverSilent, noStop;
    };
    const Case cases[] = {
        {true, true, false, true, false},    {false, true, true, true, false},
        {false, true, false, false, true},   {false, false, false, true, true},
        {false, false, false, false, false},
    };
    for (const Case& c : cases) {
        trace.events.clear();
        switches.DoNotShutUpFMOD = c.neverSilent;
        tones.UniBeepValue(c.isFrequency ? "500" : "A4", 10, c.isFrequency, c.continuous, c.stop,
                           true);
        ASSERT_EQ(trace.events.size(), 1);
        EXPECT_TRUE(trace.events[0].contains(QStringLiteral("nostop=%1 nowait=1").arg(c.noStop)))
            << trace.events[0].toStdString();
    }
}

TEST_F(ToneDispatcherTest, MidiNotesFramTheSoundAndFrequencyTonesMapToFixedNotes) {
    switches.UseMIDIOut = true;
    switches.UseFMOD = true; // records into the trace, so the order is visible
    struct Case {
        const char* note;
        bool isFrequency;
        int midiNote;
    };
    const Case cases[] = {{"C4", false, 48}, {"A#5", false, 70}, {"1000", true, 71},
                          {"500", true, 59}, {"250", true, 36},  {"162.5", true, 36}};
    for (const Case& c : cases) {
        trace.events.clear();
        tones.UniBeepValue(c.note, 15, c.isFrequency, false, false, false);
        ASSERT_EQ(trace.events.size(), 3) << c.note;
        EXPECT_EQ(trace.events[0], QStringLiteral("on %1").arg(c.midiNote));
        EXPECT_TRUE(trace.events[1].startsWith(QStringLiteral("fmod")));
        EXPECT_EQ(trace.events[2], QStringLiteral("off %1 ch-1").arg(c.midiNote));
    }
}

TEST_F(ToneDispatcherTest, MutedSpeakerWaitsAndServicesEvents) {
    log.SetUseWriteCode(true);
    log.SetLogEnabled(true);
    tones.MutePiptoneClicked(true);
    bool stopClicked = false;
    pump.ScheduleAtNs(clock.NowNs() + 10 * kMs, [&] { stopClicked = true; });
    const int64_t start = clock.NowNs();
    tones.UniBeepValue("E4", 100, false, false, false, false);
    EXPECT_EQ(clock.NowNs() - start, 100 * kMs);
    EXPECT_TRUE(stopClicked);
    EXPECT_TRUE(speaker.Tones().empty());
    EXPECT_EQ(FileLines(log.ToneCodePath()),
              QStringList({"Beep         330,    100     'E4", "MsgWaitObj           100"}));
    const QStringList debug = FileLines(log.DebugLogPath());
    EXPECT_TRUE(debug.contains("12:00:00 - MutePiptone clicked - MutePCSpeaker -> TRUE"));
    EXPECT_TRUE(debug.contains("12:00:00 -     MsgWaitObj 100"));
    tones.MutePiptoneClicked(false);
    EXPECT_FALSE(switches.MutePCSpeaker);
}

TEST_F(ToneDispatcherTest, AnUnknownNoteIsReportedAndItsBeepFailsAtOnce) {
    const int64_t start = clock.NowNs();
    tones.UniBeepValue("H4", 100, false, false, false, false);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].title, "LetterToNoteNum function");
    ASSERT_EQ(speaker.Tones().size(), 1u);
    EXPECT_EQ(speaker.Tones()[0].frequency, 0);
    EXPECT_FALSE(speaker.Tones()[0].sounded);
    EXPECT_EQ(clock.NowNs(), start);
}

TEST_F(ToneDispatcherTest, ASpeakerThatFallsSilentIsToldOnceWithoutHoldingTheSong) {
    boxes.WhileShown([this] { clock.AdvanceMs(5000); }); // a user reading a modal box
    const int64_t start = clock.NowNs();
    for (int i = 0; i < 3; ++i) {
        if (i == 1) {
            speaker.Fail(QStringLiteral("the pulse audio stream stopped"));
        }
        tones.UniBeepValue("A4", 100, false, false, false, false);
    }
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].title, "PC speaker");
    EXPECT_TRUE(boxes.Boxes()[0].text.contains("the pulse audio stream stopped"));
    EXPECT_EQ(clock.NowNs() - start, 300 * kMs);
}

TEST_F(ToneDispatcherTest, ANegativeMutedDurationWaitsNothingInsteadOfForever) {
    tones.MutePiptoneClicked(true);
    const int64_t start = clock.NowNs();
    tones.UniBeepValue("A4", -1, false, false, false, false);
    EXPECT_EQ(clock.NowNs(), start);
}

} // namespace
} // namespace tq
