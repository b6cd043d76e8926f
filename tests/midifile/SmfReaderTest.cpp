#include "midifile/SmfReader.h"
#include "MidiFileBytes.h"
#include "platform/MidiFileComponent.h"

#include <QFile>

#include <gtest/gtest.h>

#include <tuple>

namespace tq {
namespace {

using namespace smf;
using Ev5 = std::tuple<uint32_t, uint32_t, int, int, int>; // delta, tempo, status, data 1, 2

Ev5 Tuple(const MidiFileEvent& v) {
    return {v.deltaTicks, v.tempo, v.status, v.data1, v.data2};
}

std::vector<std::vector<Ev5>> Events(const MidiFileReader& reader) {
    std::vector<std::vector<Ev5>> tracks(static_cast<size_t>(reader.TrackCount()));
    for (int t = 1; t <= reader.TrackCount(); ++t) {
        for (int e = 1; e <= reader.EventCount(t); ++e) {
            tracks[t - 1].push_back(Tuple(reader.Event(t, e)));
        }
    }
    return tracks;
}

const QByteArray kNotes = Ev(0, {0x90, 60, 100}) + Ev(96, {0x80, 60, 64}) + EndOfTrack();

TEST(SmfReader, EachMalformedFileIsRefusedWithItsReasonOrPlayedWithWhatItHas) {
    const struct {
        const char* file;
        const char* why; // nullptr: accepted
        int tracks;
    } cases[] = {
        {"empty.mid", "the file is empty", 0},
        {"truncated-header.mid", "header length 6 runs past the end of the file at byte 8", 0},
        {"huge-header-length.mid",
         "header length 4294967295 runs past the end of the file at byte 8", 0},
        {"chunk-past-end.mid", "chunk length 4000000 runs past the end of the file at byte 22", 0},
        {"long-varlen.mid", "a variable-length number longer than 4 bytes at byte 22", 0},
        {"no-status.mid", "data byte 0x3C with no status before it at byte 23", 0},
        {"sysex-past-end.mid",
         "system-exclusive length 127 runs past the end of the track at byte 25", 0},
        {"no-track.mid", "no MTrk chunk: nothing to play", 0},
        {"zero-tracks.mid", "the header declares no tracks: nothing to play", 0},
        {"division-zero.mid", "time division 0 gives no length to a tick", 0},
        {"huge-track-count.mid", nullptr, 1}, // 65535 declared
        {"fewer-tracks.mid", nullptr, 2},     // 3 declared
        {"trailing-garbage.mid", nullptr, 1},
        {"riff-wrapped.mid", nullptr, 1}, // a RIFF MIDI file, an odd-length chunk first
        {"riff-no-data.mid", "a RIFF MIDI file without a data chunk: nothing to play", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        QFile file(QStringLiteral(TQ_MIDI_DATA "/") + c.file);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        SmfReader reader;
        ASSERT_TRUE(reader.Parse(File(1, 96, {kNotes, kNotes, kNotes}), nullptr));
        QString why;
        EXPECT_EQ(reader.Parse(file.readAll(), &why), c.why == nullptr);
        EXPECT_EQ(why, QString::fromLatin1(c.why));
        EXPECT_EQ(reader.TrackCount(), c.tracks);
        EXPECT_EQ(reader.EventCount(c.tracks), c.tracks > 0 ? 3 : 0);
    }
}

TEST(SmfReader, ReadsEveryFormatWithRunningStatusMetaAndSysexEvents) {
    const Ev5 empty{0, 0, 0, 0, 0};
    QByteArray withUnknownChunk =
        File(1, 480, {Tempo(0, 600000) + EndOfTrack(100), Ev(0, {0x91, 60, 1}) + Ev(7, {60, 0})});
    withUnknownChunk.insert(14, Chunk("XFIH", "skip me"));
    const struct {
        const char* name;
        QByteArray bytes;
        int format, ticksPerQuarter;
        double smpteMs;
        std::vector<std::vector<Ev5>> tracks;
    } cases[] = {
        {"format 0",
         File(0, 96,
              {Tempo(0, 500000) + Ev(0, {0xC0, 5}) + Ev(10, {0x90, 60, 100}) + Ev(5, {62, 101}) +
               Ev(0, {0xF0, 3, 0x43, 0x12, 0xF7}) + Ev(3, {64, 0}) + Ev(2, {0xF7, 1, 0xF8}) +
               Tempo(4, 250000) + Ev(1, {0xB0, 7, 127}) + EndOfTrack() + Ev(0, {0x90, 1, 1})}),
         0,
         96,
         0,
         {{{0, 500000, 0, 0, 0},
           {0, 500000, 0xC0, 5, 0},
           {10, 500000, 0x90, 60, 100},
           {5, 500000, 0x90, 62, 101},
           {0, 500000, 0, 0, 0},
           {3, 500000, 0x90, 64, 0},
           {2, 500000, 0, 0, 0},
           {4, 250000, 0, 0, 0},
           {1, 250000, 0xB0, 7, 127},
           {0, 250000, 0, 0, 0}}}},
        {"format 1, tempo per track, an unknown chunk skipped",
         withUnknownChunk,
         1,
         480,
         0,
         {{{0, 600000, 0, 0, 0}, {100, 600000, 0, 0, 0}},
          {{0, 0, 0x91, 60, 1}, {7, 0, 0x91, 60, 0}}}},
        {"format 2, SMPTE 25 fps",
         File(2, 0xE728, {Ev(0x0FFFFFFF, {0xE0, 0, 64}), {}}),
         2,
         0,
         1.0,
         {{{0x0FFFFFFF, 0, 0xE0, 0, 64}}, {}}},
        {"SMPTE 29.97 fps", File(0, 0xE30A, {EndOfTrack()}), 0, 0, 1000 / 299.7, {{empty}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SmfReader reader;
        QString why;
        ASSERT_TRUE(reader.Parse(c.bytes, &why)) << why.toStdString();
        EXPECT_EQ(reader.Format(), c.format);
        EXPECT_EQ(reader.TicksPerQuarterNote(), c.ticksPerQuarter);
        EXPECT_DOUBLE_EQ(reader.SmpteMillisecondsPerTick(), c.smpteMs);
        EXPECT_EQ(Events(reader), c.tracks);
        for (const MidiFileEvent& v :
             {reader.Event(1, 0), reader.Event(0, 1), reader.Event(1, reader.EventCount(1) + 1),
              reader.Event(reader.TrackCount() + 1, 1)}) {
            EXPECT_EQ(Tuple(v), empty);
        }
    }
}

TEST(SmfReader, TheBuiltComponentLoadsAndGivesAReader) {
    QString why;
    const auto component =
        LoadComponent(QStringLiteral(TQ_MIDIFILE_COMPONENT), kMidiFileComponent, &why);
    ASSERT_TRUE(component) << why.toStdString();
    auto* files = qobject_cast<MidiFileComponent*>(component->Instance());
    ASSERT_NE(files, nullptr);
    const std::unique_ptr<MidiFileReader> reader = files->CreateReader();
    ASSERT_TRUE(reader->Parse(File(1, 96, {kNotes, kNotes}), &why));
    EXPECT_EQ(reader->TrackCount(), 2);
    EXPECT_EQ(reader->Event(2, 2).status, 0x80);
}

} // namespace
} // namespace tq
