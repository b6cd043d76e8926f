#include "songfile/SongFormat.h"
#include "CapturingLog.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

TEST(SongFormat, SettingNameIsTheLowerCaseFirstFieldAndValueIsTheRestAfterOneBlank) {
    const char* const cases[][3] = {
        {"BPM 120", "bpm", "120"},   {"AlternateTime ", "alternatetime", ""},
        {"BPM  120", "bpm", " 120"}, {"NOBLANK", "noblank", "NOBLANK"},
        {" BPM 120", "", "BPM 120"}, {"", "", ""},
    };
    for (const auto& c : cases) {
        CapturingLog log;
        EXPECT_EQ(GetSettingName(c[0]), c[1]);
        EXPECT_EQ(GetSettingValue(c[0], log), c[2]);
        EXPECT_EQ(log.lines, QStringList{QStringLiteral("GetSettingValue(\"%1\")").arg(c[0])});
    }
}

TEST(SongFormat, MusicListLinesFollowTheReaderGrammar) {
    const std::pair<const char*, MusicLine> cases[] = {
        {"Quarter C4 E4 Dot", {"Quarter", "C4", "E4", "Dot"}},
        {"1/8 C#5 - -", {"1/8", "C#5", "", ""}},
        {"quarter c#4 e4", {"quarter", "C#4", "E4", ""}},
        {"1/8 C4 D4 Dot extra", {"1/8", "C4", "D4", "Dot extra"}},
        {"1/8 C4 ", {"1/8", "C4", "", ""}},
        {"1/8  C4 x", {"1/8", "", "C4", "x"}},
        {"- - - -", {"-", "", "", ""}},
        {"1/4 C4", {}},
        {"", {}},
    };
    for (const auto& [line, row] : cases) {
        MusicLine parsed;
        EXPECT_EQ(ParseMusicListLine(QString::fromUtf8(line), parsed), !row.Length.isEmpty())
            << line;
        EXPECT_EQ(parsed, row) << line;
    }
}

TEST(SongFormat, BytesAreReadAsUtf8UnlessInvalidThenAsWindows1252) {
    const std::tuple<QByteArray, const char16_t*, bool> cases[] = {
        {"caf\xC3\xA9", u"caf\u00E9", false},
        {"\xEF\xBB\xBFTonquill", u"Tonquill", false},
        {"\x80\x8A\x9F\xA0\xFF", u"\u20AC\u0160\u0178\u00A0\u00FF", true},
        {"\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D", true},
        // Overlong, surrogate, beyond U+10FFFF and cut-off sequences are not UTF-8.
        {"\xC0\xAF", u"\u00C0\u00AF", true},
        {"\xED\xA0\x80", u"\u00ED\u00A0\u20AC", true},
        {"\xF4\x90\x80\x80", u"\u00F4\u0090\u20AC\u20AC", true},
        {"ab\xE2\x82", u"ab\u00E2\u201A", true},
    };
    for (const auto& [bytes, text, fallback] : cases) {
        bool byteByByte = !fallback;
        EXPECT_EQ(DecodeSongBytes(bytes, &byteByByte), QString::fromUtf16(text))
            << bytes.toHex().constData();
        EXPECT_EQ(byteByByte, fallback) << bytes.toHex().constData();
    }
}

} // namespace
} // namespace tq
