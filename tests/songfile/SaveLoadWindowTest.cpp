#include "songfile/SaveLoadWindow.h"
#include "SongTestSupport.h"
#include "songfile/SaveLoadForm.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace tq {
namespace {

class FakeHost final : public SaveLoadHost {
public:
    void SetMainWindowEnabled(bool on) override { enabled = on; }
    void BringMainWindowToFront() override { ++fronts; }
    bool enabled = true;
    int fronts = 0;
};

struct WindowRig {
    FakeHost host;
    FakeSongTarget target;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    CapturingLog log;
    SaveLoadForm form{host, target, boxes, dialogs, log};
    SaveLoadWindow window{form};

    QPushButton* Button(const char* name) {
        return window.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QLabel* Info() { return window.findChild<QLabel*>(QStringLiteral("lblInfoText")); }
};

TEST(SaveLoadWindow, ShowsItsCaptionsInTheirColours) {
    WindowRig rig;
    rig.form.ShowForm();
    ASSERT_TRUE(rig.window.isVisible());
    EXPECT_EQ(rig.window.windowTitle(), "Save / Load");
    struct Case {
        const char* name;
        const char* caption;
        QColor colour;
    };
    const Case cases[] = {
        {"SaveButton", "Save", QColor(192, 255, 192)},
        {"LoadButton", "Load", QColor(192, 255, 192)},
        {"CancelButton", "Cancel", QColor(255, 192, 192)},
    };
    for (const Case& c : cases) {
        QPushButton* b = rig.Button(c.name);
        ASSERT_NE(b, nullptr) << c.name;
        EXPECT_EQ(b->text(), c.caption);
        EXPECT_TRUE(b->isVisible());
        EXPECT_EQ(b->font().family(), "Arial");
        const QImage image = b->grab().toImage();
        EXPECT_EQ(image.pixelColor(4, 4).rgb(), c.colour.rgb()) << c.name;
    }
    EXPECT_FALSE(rig.Info()->isVisible());
}

TEST(SaveLoadWindow, ItsCloseBoxAndEscActAsCancel) {
    for (const bool esc : {false, true}) {
        WindowRig rig;
        rig.form.ShowForm();
        EXPECT_FALSE(rig.host.enabled);
        if (esc) {
            QTest::keyClick(&rig.window, Qt::Key_Escape);
        } else {
            rig.window.close();
        }
        EXPECT_FALSE(rig.window.isVisible()) << esc;
        EXPECT_TRUE(rig.host.enabled);
        EXPECT_EQ(rig.host.fronts, 1);
    }
}

TEST(SaveLoadWindow, WhileASongLoadsItShowsLoadingWithoutButtons) {
    QTemporaryDir dir;
    const QString path = dir.filePath("song.tql");
    ASSERT_TRUE(WriteAll(path, SongBytes({"BPM 99"}, {"Half C4 D4"})));
    WindowRig rig;
    rig.form.ShowForm();
    rig.dialogs.Answer(path);
    bool checked = false;
    rig.target.onClearLines = [&] {
        checked = true;
        EXPECT_TRUE(rig.Info()->isVisible());
        EXPECT_EQ(rig.Info()->text(), "Loading...");
        EXPECT_FALSE(rig.Button("LoadButton")->isVisible());
        rig.window.close(); // waits for the load
        EXPECT_TRUE(rig.window.isVisible());
    };
    QTest::mouseClick(rig.Button("LoadButton"), Qt::LeftButton);
    EXPECT_TRUE(checked);
    EXPECT_EQ(rig.target.bpm, 99);
    EXPECT_FALSE(rig.window.isVisible());
    // Shown again, the buttons are back.
    rig.form.ShowForm();
    EXPECT_TRUE(rig.Button("SaveButton")->isVisible());
    EXPECT_FALSE(rig.Info()->isVisible());
}

} // namespace
} // namespace tq
