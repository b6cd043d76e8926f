#include "platform/StreamMessageBoxes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tq {
namespace {

TEST(StreamMessageBoxes, EachBoxIsOneLineAndAQuestionSaysWhatItWasAnswered) {
    struct Case {
        MsgButtons buttons;
        MsgAnswer answer;
        const char* line;
    };
    const Case cases[] = {
        {MsgButtons::Ok, MsgAnswer::Ok, "Tonquill: One / two / three\n"},
        {MsgButtons::OkCancel, MsgAnswer::Ok, "Tonquill: One / two / three [answered OK]\n"},
        {MsgButtons::YesNo, MsgAnswer::No, "Tonquill: One / two / three [answered No]\n"},
        {MsgButtons::YesNoCancel, MsgAnswer::Cancel,
         "Tonquill: One / two / three [answered Cancel]\n"},
    };
    for (const Case& c : cases) {
        char* buffer = nullptr;
        size_t size = 0;
        std::FILE* stream = open_memstream(&buffer, &size);
        ASSERT_NE(stream, nullptr);
        StreamMessageBoxes boxes(stream);
        EXPECT_EQ(boxes.Show(QString(), "One\r\ntwo\nthree", c.buttons, MsgIcon::Question),
                  c.answer);
        std::fclose(stream);
        EXPECT_EQ(std::string(buffer, size), c.line);
        std::free(buffer);
    }
}

TEST(StreamMessageBoxes, TheLineReadsAsASentence) {
    struct Case {
        const char* title;
        const char* text;
        const char* line;
    };
    const Case cases[] = {
        // A line that ends in a colon goes on with the next; blank lines leave no " /  / ".
        {"Motor", "The serial port can't be opened:\n/dev/ttyNOPE: No such file",
         "Motor: The serial port can't be opened: /dev/ttyNOPE: No such file\n"},
        {"Failed to open MIDI file!", "Couldn't open it...\r\n\r\nIt is a pipe.",
         "Failed to open MIDI file: Couldn't open it... / It is a pipe.\n"},
        {"Finished.", "Done.", "Finished: Done.\n"},
    };
    for (const Case& c : cases) {
        char* buffer = nullptr;
        size_t size = 0;
        std::FILE* stream = open_memstream(&buffer, &size);
        ASSERT_NE(stream, nullptr);
        StreamMessageBoxes(stream).Show(c.title, c.text, MsgButtons::Ok, MsgIcon::Exclamation);
        std::fclose(stream);
        EXPECT_EQ(std::string(buffer, size), c.line);
        std::free(buffer);
    }
}

} // namespace
} // namespace tq
