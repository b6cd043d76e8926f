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

} // namespace
} // namespace tq
