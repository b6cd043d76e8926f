#pragma once

#include "CapturingLog.h"
#include "core/NonLockingSleep.h"
#include "editor/MainForm.h"
#include "platform/RecordingSpeaker.h"
#include "platform/ScriptedMessageBoxes.h"
#include "platform/VirtualClock.h"
#include "playback/ToneDispatcher.h"

#include <QStringList>

#include <initializer_list>

namespace tq {

// The main window's logic on a virtual clock with a recording speaker, scripted message
// boxes and an in-memory log. Time only moves when something waits or beeps.
struct EditorRig {
    static constexpr int64_t kMs = 1'000'000;

    VirtualClock clock;
    VirtualEventPump pump{clock};
    NonLockingSleep sleep{clock, pump};
    RecordingSpeaker speaker{clock};
    ScriptedMessageBoxes boxes;
    CapturingLog log;
    OutputSwitches switches;
    ToneDispatcher tones{log, boxes, sleep, speaker, switches};
    MainForm form{{log, boxes, sleep, tones, switches}};
    int64_t t0 = clock.NowNs();

    // Lines as "Length Note1 Note2 Mod" with "-" for an empty cell.
    void Load(std::initializer_list<const char*> lines) {
        std::vector<MusicLine> out;
        for (const char* l : lines) {
            const QStringList f = QString::fromLatin1(l).split(QLatin1Char(' '));
            auto cell = [&f](int i) {
                return i < f.size() && f[i] != QLatin1String("-") ? f[i] : QString();
            };
            out.push_back({cell(0), cell(1), cell(2), cell(3)});
        }
        form.List().ClearLines();
        form.List().AppendLines(std::move(out));
    }
    // Runs a handler at a virtual time in ms after t0, as a user's click would arrive.
    template <typename F> void At(double ms, F handler) {
        pump.ScheduleAtNs(t0 + static_cast<int64_t>(ms * kMs), handler);
    }
    double ElapsedMs() const { return static_cast<double>(clock.NowNs() - t0) / kMs; }
    // "freq@start+duration" for each sounded tone, start in ms after t0.
    QStringList Tones() const {
        QStringList out;
        for (const auto& t : speaker.SoundedTones()) {
            out << QStringLiteral("%1@%2+%3")
                       .arg(t.frequency)
                       .arg(static_cast<double>(t.startNs - t0) / kMs)
                       .arg(t.durationMs);
        }
        return out;
    }
    QStringList BoxTexts() const {
        QStringList out;
        for (const auto& b : boxes.Boxes()) {
            out << b.text;
        }
        return out;
    }
};

} // namespace tq
