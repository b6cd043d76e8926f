#include "SongTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace tq {
namespace {

// Fills a target with random values each control accepts, and a random music list of
// rows the editor can produce.
void Randomize(FakeSongTarget& t, std::mt19937& rng) {
    const auto pick = [&rng](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    static const char* const kLengths[] = {"Whole", "Half", "Quarter", "1/8", "1/16"};
    static const char* const kNames[] = {"C",  "C#", "D",  "D#", "E",  "F",
                                         "F#", "G",  "G#", "A",  "A#", "B"};
    static const char* const kMods[] = {"", "Dot", "Tri"};
    const auto note = [&]() -> QString {
        if (pick(0, 3) == 0) {
            return QString();
        }
        return QString::fromLatin1(kNames[pick(0, 11)]) + QString::number(pick(0, 9));
    };

    t.keyboardOctave = static_cast<uint8_t>(pick(2, 20));
    t.keyboardOctaveText = QString::number(t.keyboardOctave);
    t.bpm = pick(40, 600);
    t.bpmText = QString::number(t.bpm);
    t.timeSig = pick(1, 32);
    t.lblTimeSig = QString::number(t.timeSig);
    t.noteSilenceRatio = pick(5, 100);
    t.noteLengthIndex = pick(0, 4);
    t.alternateTime = static_cast<int16_t>(pick(15, 2000));
    t.alternateTimeText = QString::number(t.alternateTime);
    for (int& c : t.checks) {
        c = pick(0, 1);
    }
    const int option = pick(0, 2); // Note 1, Note 2 or neither selected
    t.addNote1 = option == 0;
    t.addNote2 = option == 1;
    t.lines.clear();
    const int rows = pick(0, 3) == 0 ? 0 : pick(1, 60);
    for (int i = 0; i < rows; ++i) {
        t.lines.push_back({QString::fromLatin1(kLengths[pick(0, 4)]), note(), note(),
                           QString::fromLatin1(kMods[pick(0, 2)])});
    }
}

TEST(SongRoundTrip, SavingThenLoadingReproducesEverySettingTheFormatCarriesAndEveryLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath("round.tql");
    std::mt19937 rng(20240611);
    for (int iteration = 0; iteration < 300; ++iteration) {
        SongRig saver;
        Randomize(saver.target, rng);
        saver.dialogs.Answer(path);
        saver.boxes.SetDefaultAnswer(MsgAnswer::Yes);
        saver.song.SaveMusic();
        ASSERT_TRUE(saver.boxes.Boxes().size() <= 1u) << iteration; // the replace question

        SongRig loader;
        Randomize(loader.target, rng);
        const int noteReplace = loader.target.checks[size_t(SongCheck::NoteReplace)];
        loader.song.ActuallyLoadMusic(path);

        const FakeSongTarget& a = saver.target;
        const FakeSongTarget& b = loader.target;
        SCOPED_TRACE(iteration);
        EXPECT_TRUE(loader.boxes.Boxes().empty());
        EXPECT_FALSE(b.broken);
        EXPECT_EQ(b.keyboardOctave, a.keyboardOctave);
        EXPECT_EQ(b.bpm, a.bpm);
        EXPECT_FALSE(b.bpmOrange);
        EXPECT_EQ(b.timeSig, a.timeSig);
        EXPECT_EQ(b.noteSilenceRatio, a.noteSilenceRatio);
        EXPECT_EQ(b.noteLengthIndex, a.noteLengthIndex);
        EXPECT_EQ(b.alternateTime, a.alternateTime);
        EXPECT_EQ(b.alternateTimeText, a.alternateTimeText);
        for (SongCheck c :
             {SongCheck::NoteClickPlay, SongCheck::NoteClickAdd, SongCheck::NoteLengthReplace,
              SongCheck::ClickPlayNote1, SongCheck::ClickPlayNote2, SongCheck::PlayNote1,
              SongCheck::PlayNote2}) {
            EXPECT_EQ(b.Check(c), a.Check(c)) << int(c);
        }
        EXPECT_EQ(b.Check(SongCheck::NoteReplace), noteReplace);
        EXPECT_EQ(b.addNote1, a.addNote1);
        EXPECT_EQ(b.addNote2, a.addNote2);
        EXPECT_EQ(b.lines, a.lines);
    }
}

} // namespace
} // namespace tq
