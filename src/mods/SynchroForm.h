#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

namespace tq {

class Clock;
class LogSink;
class NamedTimers;
class NonLockingSleep;
class ThreadUrgency;

// The "Synchronized Play Settings" window's logic: it waits for a time of day typed by the
// user and then starts the music list, so copies of the program on machines whose clocks
// are set alike start together. The start is taken at the instant the wall-clock second
// begins: 2 ms polls of MsgWaitObj keep the window alive, and the last stretch is slept
// precisely on the counter. From kUrgentNs before the start until kUrgentAfterMs after it,
// the thread is lifted to real-time scheduling where the system allows it, so a busy
// machine does not make the start late.
class SynchroForm final : public QObject {
    Q_OBJECT
public:
    struct Deps {
        Clock& clock;
        NonLockingSleep& sleep;
        NamedTimers& timers; // holds CurrentUpdateTimer
        LogSink& log;
        std::function<int32_t()> fmodBufferLength; // GetFMODBufferLength, in ms
        std::function<void()> playAll;             // PlayAllButton_Click
        std::function<void()> playFromLine;        // PlayFromLineButton_Click
        ThreadUrgency* urgency = nullptr;          // none: ordinary scheduling throughout
    };
    static constexpr int kCurrentUpdateIntervalMs = 60;
    static constexpr int kPollMs = 2;
    // Below this much left, the rest of a wait is slept precisely instead of polled.
    static constexpr int64_t kPreciseNs = 6'000'000;
    static constexpr int64_t kUrgentNs = 100'000'000;
    static constexpr int kUrgentAfterMs = 200;
    // Colours of lblWaiting as 0xRRGGBB; kWindowColour leaves the window's own.
    static constexpr int32_t kWindowColour = -1;
    static constexpr int32_t kRed = 0xFF0000;
    static constexpr int32_t kGreen = 0x00FF00;
    static constexpr int32_t kYellow = 0xFFFF00;

    explicit SynchroForm(Deps deps, QObject* parent = nullptr);
    ~SynchroForm() override;

    // --- State ---
    bool CurrentlyWaiting = false;
    bool ShouldBeNotWaiting = true;
    int32_t CurrentHour = 0;
    int32_t CurrentMinute = 0;
    int32_t CurrentSecond = 0;

    // --- Controls ---
    QString txtHour;
    QString txtMinute;
    QString txtSecond;
    bool TimeBoxesEnabled = true;
    QString lblCurrentTime = QStringLiteral("12:00:00");
    bool optStart = true; // otherwise optCurrent
    bool chkStartInDelay = false;
    bool chkStartInDelayEnabled = false; // only with the soundcard's buffer length to go by
    QString chkStartInDelayTip;
    QString btnWaitCaption = QStringLiteral("Start waiting");
    bool btnWaitEnabled = true;
    QString lblWaitingCaption = QStringLiteral("Currently NOT waiting");
    int32_t lblWaitingBackColour = kWindowColour;

    // Proposes a start one minute ahead, at the current second.
    void Form_Load();
    void SetTxtHour(const QString& text);
    void SetTxtMinute(const QString& text);
    void SetTxtSecond(const QString& text);
    void SetOptStart(bool selected);
    void SetChkStartInDelay(bool ticked);
    // Each time the window is shown: a fresh proposal unless a wait runs, and the delay box
    // usable only when the soundcard beep has an output.
    void WindowShown(bool soundcardHasOutput);
    void btnWait_Click();
    void CurrentUpdateTimer_Timer();

    // The sequencer's after-play step: the wait button comes back when a synchronized play
    // has ended.
    void ReenableWaitButton();
    // After the Play buttons' play: a synchronized play that is still waiting is ended.
    void AfterPlayButtons();

    // Hours count 86400 each, so an hour of 24 or more is a time never reached.
    static int64_t TimeKey(int64_t hour, int64_t minute, int64_t second);
    // Reads the time of day into CurrentHour, CurrentMinute and CurrentSecond.
    void ReadCurrentTime();
    // The time of day in the system's long time format, without a time zone.
    QString CurrentTimeText();

signals:
    void ControlChanged(const QString& name);

private:
    void WaitForStartTime();
    // Waits until the counter reaches the deadline: 2 ms polls, then a precise sleep. False
    // when the user stopped waiting meanwhile (a start that went ahead would leave the wait
    // button disabled).
    bool WaitUntilCounter(int64_t deadline);
    void SetWaitingLabel(const QString& caption, int32_t colour);
    void BecomeUrgent();
    void BecomeOrdinary();
    void Changed(const char* name) { emit ControlChanged(QString::fromLatin1(name)); }

    Deps d_;
    int64_t lastReadNs_ = 0;      // the local wall clock at the last ReadCurrentTime
    int64_t lastReadCounter_ = 0; // the counter read right after it
    bool urgencyTried_ = false; // once a wait
    bool urgent_ = false;
};

// The window's texts.
namespace synchro_text {
inline const QString kCaption = QStringLiteral("Synchronized Play Settings");
inline const QString kIntro =
    QStringLiteral("Synchronized Play lets 2 or more running instances of Tonquill to start "
                   "playing their music at the exact same time.");
inline const QString kTimeFrame = QStringLiteral("Time to start playing at");
inline const QString kTimeHelp =
    QStringLiteral("Please set the time at which you'd like the instances to start playing.");
inline const QString kHour = QStringLiteral("Hour:");
inline const QString kMinute = QStringLiteral("Minute:");
inline const QString kSecond = QStringLiteral("Second:");
inline const QString kCurrentTime = QStringLiteral("Current time:");
inline const QString kPositionFrame = QStringLiteral("Position from which to start playing");
inline const QString kOptStart = QStringLiteral("Start of music list");
inline const QString kOptCurrent = QStringLiteral("Currently-selected line in music list");
inline const QString kStartInDelay =
    QStringLiteral("FMOD is being used elsewhere (start playing in delay)");
inline const QString kDelayHelp = QStringLiteral(
    "Please check this box if another Tonquill is going to play using FMOD to create the "
    "beep. FMOD has a slight delay, and if you tick this box, then this computer will start "
    "playing fractionally in delay too. The idea is that it should stay in sync with the "
    "instance which is using FMOD. (Not guaranteed to work, though, especially when multiple "
    "instances of TQL are running on a single computer which has no hyperthreading...)");
} // namespace synchro_text

} // namespace tq
