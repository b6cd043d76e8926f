// The tones of a song's play, and the beep script and the sketch made of them, played back
// by stand-ins, against those tones.
#include "core/LogSink.h"
#include "TestFiles.h"
#include "interchange/BeepScript.h"
#include "interchange/ToneSequence.h"
#include "interchange/ToneSketch.h"
#include "platform/ScriptedMessageBoxes.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace tq {
namespace {

constexpr int64_t kMs = 1'000'000;

// 120 BPM: a beat is 500 ms. Single notes, a dotted and a short line, two silent lines, a
// line of two notes, triplets (whose starts are counted to four places) and a silent end.
const char kSong[] = "Tonquill by Vellomar file format\n"
                     "Revision 148\n"
                     "BPM 120\n"
                     "NoteSilenceRatio 80\n"
                     "AlternateTime 30\n"
                     "MUSICLISTSTART\n"
                     "Quarter C5 - -\n"
                     "1/8 E5 - Dot\n"
                     "1/16 G5 - -\n"
                     "Quarter - - -\n"
                     "Quarter - - -\n"
                     "Half C4 G4 -\n"
                     "Quarter A4 - Tri\n"
                     "Quarter B4 - Tri\n"
                     "Quarter A4 - Tri\n"
                     "Quarter C5 - -\n"
                     "Quarter - - -\n";
constexpr bool kSounding[] = {true, true, true, false, false, true, true, true, true, true, false};

ToneSequence Render(const RenderOptions& options) {
    ScriptedMessageBoxes boxes;
    NullLog log;
    QString why;
    const std::optional<ToneSequence> s = RenderToneSequence(kSong, options, boxes, log, &why);
    EXPECT_TRUE(s) << why.toStdString();
    return s.value_or(ToneSequence{});
}

// Rounding at half a millisecond, starts that each round down a little (a slip that would
// add up), a gap before a line's first tone, a tone running past its line's end, silent
// lines in a row, and a tone and a pause longer than 65535 ms.
ToneSequence Awkward() {
    ToneSequence s;
    s.tones = {{kMs / 2 - 1, 440, 30}, {40 * kMs + kMs / 2, 880, 70}};
    for (int i = 0; i < 5; ++i) {
        s.tones.push_back({130 * kMs + i * 10'400'000 + 400'000, i % 2 ? 660 : 440, 10});
    }
    // Tones last whole milliseconds, so a line's first may start half of one early.
    s.tones.push_back({200 * kMs - kMs / 2, 587, 50});
    s.tones.push_back({300 * kMs, 523, 70000});
    s.lineStartsNs = {0, 100 * kMs, 200 * kMs, 300 * kMs, 80300 * kMs, 120300 * kMs, 160300 * kMs};
    return s;
}

struct Case {
    const char* name;
    ToneSequence sequence;
    // One beep command per line that sounds, and a sleep for each stretch of silent lines
    // and gap before a line's first tone, unless it is shorter than 20 ms and follows a
    // tone (then it is that tone's wait); -1: not counted.
    int beeps;
    int sleeps;
};

std::vector<Case> Cases() {
    RenderOptions beat;
    beat.beat = QStringLiteral("all");
    RenderOptions glide;
    glide.portamento = true;
    return {{"plain", Render({}), 8, 2},
            {"beat", Render(beat), -1, -1},
            {"glide", Render(glide), -1, -1},
            {"awkward", Awkward(), 4, 1}};
}

// What a play-back heard, and when it ended.
struct Timeline {
    std::vector<PlayedTone> tones;
    int64_t endMs = 0;
};

// Every tone heard as the speaker played it: its pitch and length, starting within half a
// millisecond; and the play-back lasts the song.
void ExpectSameTones(const Timeline& heard, const ToneSequence& played, const char* name) {
    ASSERT_EQ(heard.tones.size(), played.tones.size()) << name;
    int64_t endNs = played.lineStartsNs.back();
    for (size_t i = 0; i < played.tones.size(); ++i) {
        const PlayedTone& p = played.tones[i];
        const PlayedTone& h = heard.tones[i];
        EXPECT_TRUE(h.frequency == p.frequency && h.durationMs == p.durationMs &&
                    std::abs(h.startNs - p.startNs) <= kMs / 2)
            << name << " tone " << i << " heard " << h.frequency << " Hz at " << h.startNs
            << " ns for " << h.durationMs << " ms, played at " << p.startNs << " ns";
        endNs = std::max(endNs, p.startNs + p.durationMs * kMs);
    }
    EXPECT_LE(std::abs(heard.endMs * kMs - endNs), kMs / 2) << name;
}

QString Write(const QString& path, const QByteArray& bytes, bool executable = false) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    if (executable) {
        f.setPermissions(ExecutablePermissions(f.permissions()));
    }
    return path;
}

// Runs with the stand-in commands in folder found first.
QByteArray Output(const QString& program, const QStringList& args, const QString& folder) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", folder + ":" + env.value("PATH"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}

// The beep and sleep commands as the stand-ins logged them: each tone sounds for -l and is
// followed by -D; a sleep waits its seconds.
Timeline BeepTimeline(const QByteArray& calls) {
    Timeline t;
    for (const QByteArray& call : calls.split('\n')) {
        const QList<QByteArray> words = call.simplified().split(' ');
        if (words[0] == "sleep") {
            t.endMs += std::llround(words[1].toDouble() * 1000);
            continue;
        }
        for (qsizetype i = 1; words[0] == "beep" && i + 5 < words.size(); i += 7) {
            EXPECT_EQ(words[i] + words[i + 2] + words[i + 4], "-f-l-D") << call.toStdString();
            t.tones.push_back({t.endMs * kMs, words[i + 1].toInt(), words[i + 3].toInt()});
            t.endMs += words[i + 3].toInt() + words[i + 5].toInt();
        }
    }
    return t;
}

TEST(ToneSequence, EachSoundingLineStartsWithAToneAtTheTimeTheSequencerGaveIt) {
    RenderOptions beat;
    beat.beat = QStringLiteral("odd");
    for (const RenderOptions& options : {RenderOptions{}, beat}) {
        const ToneSequence s = Render(options);
        const std::vector<int64_t>& starts = s.lineStartsNs;
        ASSERT_EQ(starts.size(), std::size(kSounding) + 1);
        EXPECT_EQ(starts.front(), 0);
        EXPECT_EQ(starts.back() - starts[starts.size() - 2], 500'000'000);
        for (size_t line = 0; line < std::size(kSounding); ++line) {
            const bool toneAtStart = std::any_of(
                s.tones.begin(), s.tones.end(), [&](auto& t) { return t.startNs == starts[line]; });
            // The beat's sweep sounds on a silent line too, when it falls on a beat.
            if (kSounding[line] || options.beat.isEmpty()) {
                EXPECT_EQ(toneAtStart, kSounding[line]) << "line " << line;
            }
        }
        // The beat's sweep opens the song.
        EXPECT_EQ(s.tones.front().frequency, options.beat.isEmpty() ? 523 : 250);
    }
}

// Arduino's calls, each printing what it does on a clock that delay() moves.
const char kArduinoStandIn[] = R"(#include <stdint.h>
#include <stdio.h>
#define PROGMEM
#define OUTPUT 1
unsigned long gNowMs = 0;
uint16_t pgm_read_word(const uint16_t* p) { return *p; }
void pinMode(int, int) {}
void tone(int pin, unsigned int hz) { printf("tone %d %u %lu\n", pin, hz, gNowMs); }
void noTone(int pin) { printf("noTone %d %lu\n", pin, gNowMs); }
void delay(unsigned long ms) { gNowMs += ms; }
)";

const char kSketchMain[] = R"(#include "Arduino.h"
#include "song.ino"
int main() {
  setup();
  for (int i = 0; i < 3; ++i) {
    loop();
    printf("loop %lu\n", gNowMs);
  }
}
)";

// A tone lasts from tone() to the next call that changes the pitch: tone() again with its
// pitch goes on with it (a long tone takes several entries).
Timeline SketchTimeline(const QByteArray& printed, int pin) {
    const QList<QByteArray> lines = printed.trimmed().split('\n');
    const auto loops = std::find_if(lines.begin(), lines.end(),
                                    [](const QByteArray& l) { return l.startsWith("loop "); });
    // Only the first loop() plays: the others sound nothing and take no time.
    EXPECT_TRUE(lines.end() - loops == 3 && std::count(loops, lines.end(), lines.back()) == 3)
        << printed.right(200).toStdString();
    Timeline t;
    int hz = 0;
    for (auto line = lines.begin(); line < loops + 1 && line != lines.end(); ++line) {
        const QList<QByteArray> words = line->split(' ');
        const int64_t at = words.back().toLongLong();
        const int next = words[0] == "tone" ? words[2].toInt() : 0;
        EXPECT_TRUE(words[0] == "loop" || words[1].toInt() == pin) << line->toStdString();
        if (next != hz && hz > 0) {
            t.tones.back().durationMs = static_cast<int32_t>(at - t.tones.back().startNs / kMs);
        }
        if (next != hz && next > 0) {
            t.tones.push_back({at * kMs, next, 0});
        }
        hz = next;
        t.endMs = at;
    }
    return t;
}

TEST(ToneExport, BeepScriptAndSketchPlayedBackSoundEveryToneWhereTheSpeakerPlayedIt) {
    QTemporaryDir dir;
    const QString calls = dir.filePath("calls");
    const QByteArray standIn = "#!/bin/sh\necho \"${0##*/} $*\" >> '" + calls.toUtf8() + "'\n";
    Write(dir.filePath("beep"), standIn, true);
    Write(dir.filePath("sleep"), standIn, true);
    Write(dir.filePath("Arduino.h"), kArduinoStandIn);
    const QString main = Write(dir.filePath("main.cpp"), kSketchMain);
    for (const Case& c : Cases()) {
        QFile::remove(calls);
        const QString script =
            Write(dir.filePath(QStringLiteral("song.") + kBeepScriptSuffix),
                  BeepScript(c.sequence, QStringLiteral("Dots\nand triplets")), true);
        EXPECT_TRUE(Contents(script).startsWith("#!/bin/sh\n# Dots and triplets,"));
        Output(script, {}, dir.path());
        ExpectSameTones(BeepTimeline(Contents(calls)), c.sequence, c.name);
        if (c.beeps >= 0) {
            EXPECT_EQ(Contents(script).count("\nbeep "), c.beeps) << c.name;
            EXPECT_EQ(Contents(script).count("\nsleep "), c.sleeps) << c.name;
        }

        Write(dir.filePath(QStringLiteral("song.") + kToneSketchSuffix),
              ToneSketch(c.sequence, QStringLiteral("Song"), 3));
        const QString program = dir.filePath("song");
        Output(QStringLiteral(TQ_CXX),
               {"-std=c++17", "-Wall", "-Wextra", "-Werror", main, "-o", program}, dir.path());
        ExpectSameTones(SketchTimeline(Output(program, {}, dir.path()), 3), c.sequence, c.name);
    }
}

} // namespace
} // namespace tq
