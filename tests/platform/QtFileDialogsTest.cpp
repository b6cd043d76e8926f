#include "platform/QtFileDialogs.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

TEST(QtFileDialogs, FiltersBecomeQtNameFiltersThatAlsoFindLowerCaseNames) {
    struct Case {
        const char* filter;
        QStringList names;
    };
    const Case cases[] = {
        {"This program's file type (*.TQL)|*.TQL|All files (*.*)|*.*",
         {"This program's file type (*.TQL *.tql)", "All files (*.*)"}},
        {"Texts|*.txt;*.TXT", {"Texts (*.txt *.TXT)"}},
        {"MIDI files (*.mid)|*.MID;*.midi", {"MIDI files (*.MID *.mid *.midi)"}},
        {"Odd|", {}},
        {"Dangling", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QtFileDialogs::NameFilters(QString::fromUtf8(c.filter)), c.names) << c.filter;
    }
}

} // namespace
} // namespace tq
