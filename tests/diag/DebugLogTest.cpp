#include "diag/DebugLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tq {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class DebugLogTest : public testing::Test {
protected:
    QTemporaryDir dir;
    DebugLog log{dir.path()};
    void SetUp() override {
        log.SetTimeOfDay([] { return QStringLiteral("14:05:09"); });
    }
};

TEST_F(DebugLogTest, OffMeansNoFileAndNoIndentChange) {
    log.LogIndentInc("PlayMusic() - START");
    log.LogText("x");
    log.WriteCode("Beep");
    EXPECT_EQ(log.LogIndent(), 0);
    log.LogIndentDec("PlayMusic() - END");
    EXPECT_EQ(log.LogIndent(), 0);
    EXPECT_FALSE(QFile::exists(log.DebugLogPath()));
    EXPECT_FALSE(QFile::exists(log.ToneCodePath()));
}

TEST_F(DebugLogTest, IndentedBlockEndsWithAnEmptyLine) {
    log.SetLogEnabled(true);
    log.LogIndentInc("PlayMusic() - START");
    log.LogText("StartPoint = 1");
    log.LogIndentDec("PlayMusic() - END");
    log.LogText("after");
    EXPECT_EQ(ReadAll(log.DebugLogPath()), QByteArray("14:05:09 -     PlayMusic() - START\r\n"
                                                      "14:05:09 -     StartPoint = 1\r\n"
                                                      "14:05:09 -     PlayMusic() - END\r\n\r\n"
                                                      "14:05:09 - after\r\n"));
}

TEST_F(DebugLogTest, AContinuationReplacesTheLastLineBreak) {
    log.SetLogEnabled(true);
    log.LogText("It's not meant to be silent - setting text for ");
    log.LogText("NOTE1.", true);
    log.LogText("next");
    EXPECT_EQ(ReadAll(log.DebugLogPath()),
              QByteArray("14:05:09 - It's not meant to be silent - setting text for NOTE1. \r\n"
                         "14:05:09 - next\r\n"));
}

TEST_F(DebugLogTest, AContinuationOnAnEmptyLogIsAppended) {
    log.SetLogEnabled(true);
    log.LogText("word", true);
    EXPECT_EQ(ReadAll(log.DebugLogPath()), QByteArray("word \r\n"));
}

TEST_F(DebugLogTest, MoreDecrementsThanIncrementsStopAtTheMargin) {
    log.SetLogEnabled(true);
    log.LogIndentDec("a");
    log.LogIndentDec("b");
    EXPECT_EQ(log.LogIndent(), 0);
    log.LogText("c");
    EXPECT_TRUE(ReadAll(log.DebugLogPath()).endsWith("14:05:09 - c\r\n"));
}

TEST_F(DebugLogTest, BothLogsAreAppendedAcrossRuns) {
    {
        QFile f(log.ToneCodePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old\r\n");
    }
    log.SetUseWriteCode(true);
    log.WriteCode("MsgWaitObj            15");
    DebugLog second(dir.path());
    second.SetUseWriteCode(true);
    second.WriteCode("Beep         440,    100     'A4");
    EXPECT_EQ(ReadAll(log.ToneCodePath()), QByteArray("old\r\nMsgWaitObj            15\r\n"
                                                      "Beep         440,    100     'A4\r\n"));
}

TEST_F(DebugLogTest, AnUnwritableFolderIsSkippedSilently) {
    DebugLog nowhere(dir.path() + QStringLiteral("/missing/folder"));
    nowhere.SetLogEnabled(true);
    nowhere.SetUseWriteCode(true);
    nowhere.LogText("x");
    nowhere.LogText("y", true);
    nowhere.WriteCode("z");
    EXPECT_FALSE(QDir(dir.path() + QStringLiteral("/missing")).exists());
}

} // namespace
} // namespace tq
