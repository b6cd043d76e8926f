#include "editor/PackedLines.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

// Lines out of the packed list are the lines put in, through every kind of edit, also
// when the song holds more different texts than are looked up.
TEST(PackedLines, GivesBackWhatWasPutInPastTheLookedUpTexts) {
    PackedLines packed;
    std::vector<MusicLine> plain;
    for (int i = 0; i < PackedLines::kMostLookedUp + 100; ++i) {
        plain.push_back({QString::number(i), i % 2 ? "C4" : "", "", i % 3 ? "" : "Dot"});
    }
    packed.Insert(0, plain);
    const std::vector<MusicLine> more = {{"Half", "E4", "G4", "Tri"}, {"70000", "", "", ""}};
    packed.Insert(5, more);
    plain.insert(plain.begin() + 5, more.begin(), more.end());
    packed.Set(7, {"Whole", "C#4", "", ""});
    plain[7] = {"Whole", "C#4", "", ""};
    packed.SetCell(9, 2, "B3");
    plain[9].Note2 = "B3";
    packed.Erase(1, 3);
    plain.erase(plain.begin() + 1, plain.begin() + 4);
    ASSERT_EQ(packed.Size(), plain.size());
    EXPECT_EQ(packed.Range(0, packed.Size()), plain);
    EXPECT_EQ(packed.CellAt(plain.size() - 1, 0), plain.back().Length);
    packed.Clear();
    EXPECT_EQ(packed.Size(), 0u);
}

} // namespace
} // namespace tq
