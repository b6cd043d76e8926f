#include "songfile/SongFormat.h"
#include "CapturingLog.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

TEST(SongFormat, AtStartOfStringComparesThePrefixExactly) {
    struct Case {
        const char* text;
        const char* prefix;
        bool result;
    };
    const Case cases[] = {
        {"Tonquill by Vellomar file format", "Tonquill by Vellomar file format", true},
        {"Tonquill by Vellomar file format\r\nRevision 148", "Tonquill by Vellomar file format",
         true},
        {"tonquill by vellomar file format", "Tonquill by Vellomar file format", false},
        {"Tonquill by Vellomar", "Tonquill by Vellomar file format", false},
        {" Tonquill by Vellomar file format", "Tonquill by Vellomar file format", false},
        {"", "", true},
        {"anything", "", true},
        {"", "x", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AtStartOfString(QString::fromUtf8(c.text), QString::fromUtf8(c.prefix)), c.result)
            << c.text << " / " << c.prefix;
    }
}

TEST(SongFormat, SettingNameIsTheLowerCaseFirstFieldAndValueIsTheRestAfterOneBlank) {
    struct Case {
        const char* line;
        const char* name;
        const char* value;
    };
    const Case cases[] = {
        {"BPM 120", "bpm", "120"},
        {"KeyboardOctave 4", "keyboardoctave", "4"},
        {"AlternateTime ", "alternatetime", ""},
        {"BPM  120", "bpm", " 120"},
        {"Mod Dot extra", "mod", "Dot extra"},
        {"NOBLANK", "noblank", "NOBLANK"},
        {" BPM 120", "", "BPM 120"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        CapturingLog log;
        const QString line = QString::fromUtf8(c.line);
        EXPECT_EQ(GetSettingName(line), QString::fromUtf8(c.name)) << c.line;
        EXPECT_EQ(GetSettingValue(line, log), QString::fromUtf8(c.value)) << c.line;
        EXPECT_EQ(log.lines, QStringList{"GetSettingValue(\"" + line + "\")"});
    }
}

TEST(SongFormat, NumberValueReadsTheLeadingNumberAndRoundsHalfToEven) {
    struct Case {
        const char* text;
        int64_t value;
    };
    const Case cases[] = {
        {"120", 120},
        {"120.5", 120},
        {"121.5", 122},
        {"-2.5", -2},
        {"-3.5", -4},
        {"  7", 7},
        {"+9", 9},
        {".5", 0},
        {"1.5", 2},
        {"12abc", 12},
        {"3.7.2", 4},
        {"1e3", 1},
        {"1,5", 1},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"99999999999999999999999", INT64_MAX},
        {"-99999999999999999999999", INT64_MIN},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NumberValue(QString::fromUtf8(c.text)), c.value) << c.text;
    }
}

TEST(SongFormat, MusicListLinesFollowTheReaderGrammar) {
    struct Case {
        const char* line;
        bool ok;
        MusicLine row;
    };
    const Case cases[] = {
        {"Quarter C4 E4 Dot", true, {"Quarter", "C4", "E4", "Dot"}},
        {"1/8 C#5 - -", true, {"1/8", "C#5", "", ""}},
        {"Half - - -", true, {"Half", "", "", ""}},
        {"quarter c#4 e4", true, {"quarter", "C#4", "E4", ""}},
        {"1/8 C4 D4 Dot extra", true, {"1/8", "C4", "D4", "Dot extra"}},
        {"1/8 C4 D4 ", true, {"1/8", "C4", "D4", ""}},
        {"1/8 C4 ", true, {"1/8", "C4", "", ""}},
        {"1/8  C4 x", true, {"1/8", "", "C4", "x"}},
        {" C4 - -", true, {"", "C4", "", ""}},
        {"- - - -", true, {"-", "", "", ""}},
        {"Whole -- -x tri", true, {"Whole", "--", "-X", "tri"}},
        {"1/4 C4", false, {}},
        {"Quarter", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        MusicLine row;
        EXPECT_EQ(ParseMusicListLine(QString::fromUtf8(c.line), row), c.ok) << c.line;
        if (c.ok) {
            EXPECT_EQ(row, c.row) << c.line;
        }
    }
}

TEST(SongFormat, RowsAreWrittenWithADashForEachEmptyCell) {
    struct Case {
        MusicLine row;
        const char* text;
    };
    const Case cases[] = {
        {{"Quarter", "C4", "E4", "Dot"}, "Quarter C4 E4 Dot"},
        {{"1/8", "C#5", "", ""}, "1/8 C#5 - -"},
        {{"Half", "", "", ""}, "Half - - -"},
        {{"1/16", "", "G4", "Tri"}, "1/16 - G4 Tri"},
        {{"", "", "", ""}, " - - -"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MusicListLineText(c.row), QString::fromUtf8(c.text));
        MusicLine back;
        ASSERT_TRUE(ParseMusicListLine(MusicListLineText(c.row), back));
        EXPECT_EQ(back, c.row) << c.text;
    }
}

TEST(SongFormat, BytesAreReadAsUtf8UnlessInvalidThenAsWindows1252) {
    struct Case {
        QByteArray bytes;
        QString text;
        bool byteByByte;
    };
    const Case cases[] = {
        {"plain", "plain", false},
        {"caf\xC3\xA9", QString::fromUtf8("caf\u00E9"), false},
        {"\xEF\xBB\xBFTonquill", "Tonquill", false},
        {"\xF0\x9F\x8E\xB5", QString::fromUtf8("\U0001F3B5"), false},
        {QByteArray("a\0b", 3), QString("a") + QChar(0) + "b", false},
        {"caf\xE9", QString::fromUtf8("caf\u00E9"), true},
        {"\x80\x8A\x9F", QString::fromUtf8("\u20AC\u0160\u0178"), true},
        {"\x81\x8D\x8F\x90\x9D", QString::fromUtf16(u"\u0081\u008D\u008F\u0090\u009D"), true},
        {"\xA0\xFF", QString::fromUtf8("\u00A0\u00FF"), true},
        // Overlong, surrogate, beyond U+10FFFF and cut-off sequences are not UTF-8.
        {"\xC0\xAF", QString::fromUtf8("\u00C0\u00AF"), true},
        {"\xED\xA0\x80", QString::fromUtf8("\u00ED\u00A0\u20AC"), true},
        {"\xF4\x90\x80\x80", QString::fromUtf16(u"\u00F4\u0090\u20AC\u20AC"), true},
        {"ab\xE2\x82", QString::fromUtf8("ab\u00E2\u201A"), true},
    };
    for (const Case& c : cases) {
        bool byteByByte = !c.byteByByte;
        EXPECT_EQ(DecodeSongBytes(c.bytes, &byteByByte), c.text) << c.bytes.toHex().constData();
        EXPECT_EQ(byteByByte, c.byteByByte) << c.bytes.toHex().constData();
    }
}

} // namespace
} // namespace tq
