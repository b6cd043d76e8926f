#include "diag/FileExists.h"
#include "diag/DebugLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tq {
namespace {

TEST(FileExists, PlainFilesCountDotNamesIncludedAndEachCheckIsLogged) {
    QTemporaryDir dir;
    const QString d = dir.path();
    for (const char* name : {"song.tql", ".hidden", "logenable"}) {
        QFile f(d + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QDir(d).mkdir(QStringLiteral("folder"));
    DebugLog log(d);
    log.SetTimeOfDay([] { return QStringLiteral("t"); });
    log.SetLogEnabled(true);

    struct Case {
        QString path;
        bool exists;
        bool logged;
    };
    const Case cases[] = {
        {d + "/song.tql", true, true},   {d + "/logenable", true, true},
        {d + "/nothing", false, true},   {d + "/.hidden", true, true},
        {d + "/folder", false, true},    {d + "/folder/", false, false},
        {d + "/folder\\", false, false}, {QString(), false, false},
    };
    for (const Case& c : cases) {
        QFile::remove(log.DebugLogPath());
        EXPECT_EQ(FileExists(c.path, log), c.exists) << c.path.toStdString();
        QFile f(log.DebugLogPath());
        const bool hasLog = f.open(QIODevice::ReadOnly);
        EXPECT_EQ(hasLog, c.logged) << c.path.toStdString();
        if (hasLog) {
            EXPECT_EQ(QString::fromUtf8(f.readAll()), "t - FileExists(\"" + c.path + "\") = " +
                                                          (c.exists ? "TRUE" : "FALSE") + "\r\n");
        }
    }
}

} // namespace
} // namespace tq
