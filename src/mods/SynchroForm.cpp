#include "mods/SynchroForm.h"

#include "core/LogSink.h"
#include "core/NonLockingSleep.h"
#include "core/Rounding.h"
#include "platform/Clock.h"
#include "platform/NamedTimers.h"
#include "platform/ThreadUrgency.h"

#include <QLocale>
#include <QTime>

#include <algorithm>
#include <cmath>

namespace tq {

namespace {

constexpr int64_t kNsPerSecond = 1'000'000'000;
constexpr int64_t kSecondsPerDay = 86400;
const QString kTimerKey = QStringLiteral("CurrentUpdateTimer");
const QString kUrgencyKey = QStringLiteral("SynchroUrgencyTimer");

int64_t FloorMod(int64_t a, int64_t b) {
    const int64_t r = a % b;
    return r < 0 ? r + b : r;
}

// A time box's value: a text that is not a number counts as 0. Kept far from where the
// time key's arithmetic would overflow, and far beyond any time of day.
int64_t BoxValue(const QString& text) {
    constexpr double kLimit = 1e12;
    return static_cast<int64_t>(std::llround(std::clamp(LeadingNumber(text), -kLimit, kLimit)));
}

} // namespace

SynchroForm::SynchroForm(Deps deps, QObject* parent) : QObject(parent), d_(std::move(deps)) {
    d_.timers.SetTickHandler([this](const QString& key) {
        if (key == kTimerKey) {
            CurrentUpdateTimer_Timer();
        } else if (key == kUrgencyKey) {
            BecomeOrdinary(); // the first tone has begun by now
        }
    });
    d_.timers.Add(kTimerKey, kCurrentUpdateIntervalMs, true);
    d_.timers.Add(kUrgencyKey, kUrgentAfterMs, false);
}

SynchroForm::~SynchroForm() {
    BecomeOrdinary();
    d_.timers.SetEnabled(kTimerKey, false);
    d_.timers.SetTickHandler(nullptr);
}

int64_t SynchroForm::TimeKey(int64_t hour, int64_t minute, int64_t second) {
    return hour * 86400 + minute * 60 + second;
}

void SynchroForm::ReadCurrentTime() {
    lastReadNs_ = d_.clock.LocalWallClockNs();
    lastReadCounter_ = d_.clock.PerformanceCounter();
    const int64_t ofDay = FloorMod(lastReadNs_ / kNsPerSecond, kSecondsPerDay);
    CurrentHour = static_cast<int32_t>(ofDay / 3600);
    CurrentMinute = static_cast<int32_t>(ofDay / 60 % 60);
    CurrentSecond = static_cast<int32_t>(ofDay % 60);
}

QString SynchroForm::CurrentTimeText() {
    const int64_t ms = FloorMod(d_.clock.LocalWallClockNs() / 1'000'000, kSecondsPerDay * 1000);
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)).toString(format.trimmed());
}

void SynchroForm::Form_Load() {
    ReadCurrentTime();
    int32_t hour = CurrentHour;
    int32_t minute = CurrentMinute + 1;
    if (minute > 59) {
        minute = CurrentMinute - 59;
        hour = hour + 1 == 24 ? 0 : hour + 1;
    }
    SetTxtHour(QString::number(hour));
    SetTxtMinute(QString::number(minute));
    SetTxtSecond(QString::number(CurrentSecond));
}

void SynchroForm::SetTxtHour(const QString& text) {
    txtHour = text;
    Changed("txtHour");
}

void SynchroForm::SetTxtMinute(const QString& text) {
    txtMinute = text;
    Changed("txtMinute");
}

void SynchroForm::SetTxtSecond(const QString& text) {
    txtSecond = text;
    Changed("txtSecond");
}

void SynchroForm::SetOptStart(bool selected) {
    optStart = selected;
    Changed("optStart");
}

void SynchroForm::SetChkStartInDelay(bool ticked) {
    chkStartInDelay = ticked && chkStartInDelayEnabled;
    Changed("chkStartInDelay");
}

void SynchroForm::WindowShown(bool soundcardHasOutput) {
    if (!CurrentlyWaiting) {
        Form_Load();
    }
    chkStartInDelayEnabled = soundcardHasOutput;
    chkStartInDelayTip = soundcardHasOutput
                             ? QString()
                             : QStringLiteral("The soundcard has no output here, so its buffer "
                                              "length is not known.");
    SetChkStartInDelay(chkStartInDelay);
}

void SynchroForm::CurrentUpdateTimer_Timer() {
    const QString text = CurrentTimeText();
    if (text != lblCurrentTime) {
        lblCurrentTime = text;
        Changed("lblCurrentTime");
    }
}

void SynchroForm::SetWaitingLabel(const QString& caption, int32_t colour) {
    lblWaitingCaption = caption;
    lblWaitingBackColour = colour;
    Changed("lblWaiting");
}

void SynchroForm::btnWait_Click() {
    if (CurrentlyWaiting) {
        ShouldBeNotWaiting = true;
        CurrentlyWaiting = false;
        SetWaitingLabel(QStringLiteral("Currently NOT waiting"), kRed);
        btnWaitCaption = QStringLiteral("Start waiting");
        Changed("btnWait");
        return;
    }
    ShouldBeNotWaiting = false;
    SetWaitingLabel(QStringLiteral("Currently waiting"), kGreen);
    CurrentlyWaiting = true;
    btnWaitCaption = QStringLiteral("Stop waiting");
    Changed("btnWait");
    WaitForStartTime();
}

bool SynchroForm::WaitUntilCounter(int64_t deadline) {
    const int64_t preciseTicks = kPreciseNs * d_.clock.PerformanceFrequency() / kNsPerSecond;
    while (deadline - d_.clock.PerformanceCounter() > preciseTicks) {
        d_.sleep.MsgWaitObj(kPollMs);
        if (!CurrentlyWaiting) {
            return false;
        }
    }
    d_.clock.SleepUntilCounter(deadline);
    return true;
}

void SynchroForm::WaitForStartTime() {
    d_.log.LogIndentInc(QStringLiteral("WaitForStartTime() - START"));
    TimeBoxesEnabled = false;
    Changed("TimeBoxesEnabled");
    urgencyTried_ = false;
    const int64_t target = TimeKey(BoxValue(txtHour), BoxValue(txtMinute), BoxValue(txtSecond));
    const int64_t frequency = d_.clock.PerformanceFrequency();
    bool start = true;
    int64_t t0 = 0;
    for (;;) {
        ReadCurrentTime();
        if (TimeKey(CurrentHour, CurrentMinute, CurrentSecond) >= target) {
            t0 = lastReadCounter_; // a target already passed starts at once
            break;
        }
        // When the next second reaches the target, sleep to the instant it begins.
        const int64_t next = FloorMod(lastReadNs_ / kNsPerSecond + 1, kSecondsPerDay);
        const int64_t toNextNs = kNsPerSecond - FloorMod(lastReadNs_, kNsPerSecond);
        const bool nextIsTarget =
            TimeKey(next / 3600, next / 60 % 60, next % 60) >= target;
        if (nextIsTarget && toNextNs <= kUrgentNs) {
            BecomeUrgent();
        }
        if (nextIsTarget && toNextNs <= kPreciseNs + kPollMs * 1'000'000) {
            t0 = lastReadCounter_ + toNextNs * frequency / kNsPerSecond;
            start = WaitUntilCounter(t0);
            break;
        }
        d_.sleep.MsgWaitObj(kPollMs);
        if (!CurrentlyWaiting) {
            start = false;
            break;
        }
    }
    if (start && chkStartInDelay) {
        const int32_t delayMs = d_.fmodBufferLength ? d_.fmodBufferLength() : 0;
        d_.log.LogText(QStringLiteral("Starting in delay of %1 ms - 15 ms").arg(delayMs));
        start = WaitUntilCounter(t0 + (int64_t{delayMs} - 15) * frequency / 1000);
    }
    if (start) {
        btnWaitEnabled = false;
        Changed("btnWait");
        SetWaitingLabel(QStringLiteral("Playing"), kYellow);
        if (urgent_) {
            d_.timers.SetEnabled(kUrgencyKey, true);
        }
        if (optStart) {
            d_.playAll();
        } else {
            d_.playFromLine();
        }
    }
    BecomeOrdinary();
    TimeBoxesEnabled = true;
    Changed("TimeBoxesEnabled");
    d_.log.LogIndentDec(QStringLiteral("WaitForStartTime() - END"));
}

void SynchroForm::BecomeUrgent() {
    if (urgencyTried_ || d_.urgency == nullptr) {
        return;
    }
    urgencyTried_ = true;
    QString how;
    urgent_ = d_.urgency->Raise(&how);
    d_.log.LogText(QStringLiteral("Synchronized start: ") + how);
}

void SynchroForm::BecomeOrdinary() {
    d_.timers.SetEnabled(kUrgencyKey, false);
    if (urgent_) {
        d_.urgency->Lower();
        urgent_ = false;
        d_.log.LogText(QStringLiteral("Synchronized start: back to ordinary scheduling"));
    }
}

void SynchroForm::ReenableWaitButton() {
    if (ShouldBeNotWaiting) {
        return;
    }
    d_.log.LogText(QStringLiteral(
        "SynchroForm.ShouldBeNotWaiting = TRUE, re-enabling 'Start Waiting' button"));
    btnWaitEnabled = true;
    Changed("btnWait");
    ShouldBeNotWaiting = true;
}

void SynchroForm::AfterPlayButtons() {
    if (CurrentlyWaiting) {
        btnWait_Click();
    }
}

} // namespace tq
