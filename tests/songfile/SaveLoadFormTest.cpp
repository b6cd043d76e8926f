#include "songfile/SaveLoadForm.h"
#include "SongTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace tq {
namespace {

class FakeHost final : public SaveLoadHost {
public:
    void SetMainWindowEnabled(bool enabled) override {
        events << (enabled ? QStringLiteral("enable") : QStringLiteral("disable"));
    }
    void BringMainWindowToFront() override { events << QStringLiteral("front"); }
    QStringList events;
};

struct FormRig {
    FakeHost host;
    FakeSongTarget target;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    CapturingLog log;
    SaveLoadForm form{host, target, boxes, dialogs, log};
};

TEST(SaveLoadForm, EveryWayOutEnablesTheMainWindowHidesTheFormAndBringsTheWindowToFront) {
    struct Case {
        const char* name;
        std::function<void(SaveLoadForm&)> click;
        std::vector<ScriptedFileDialogs::Kind> dialogs;
    };
    const Case cases[] = {
        {"Cancel", [](SaveLoadForm& f) { f.CancelButtonClick(); }, {}},
        {"close box", [](SaveLoadForm& f) { f.CloseBoxClick(); }, {}},
        {"Save, dialog cancelled",
         [](SaveLoadForm& f) { f.SaveButtonClick(); },
         {ScriptedFileDialogs::Kind::Save}},
        {"Load, dialog cancelled",
         [](SaveLoadForm& f) { f.LoadButtonClick(); },
         {ScriptedFileDialogs::Kind::Open}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FormRig rig;
        rig.target.lines = {{"Whole", "A4", "", ""}};
        int changes = 0;
        QObject::connect(&rig.form, &SaveLoadForm::Changed, [&changes] { ++changes; });
        rig.form.ShowForm();
        EXPECT_TRUE(rig.form.Visible());
        EXPECT_TRUE(rig.form.ButtonsVisible());
        EXPECT_EQ(rig.host.events, QStringList{"disable"});

        c.click(rig.form);
        EXPECT_FALSE(rig.form.Visible());
        EXPECT_EQ(rig.host.events, (QStringList{"disable", "enable", "front"}));
        EXPECT_EQ(changes, 2);
        ASSERT_EQ(rig.dialogs.Dialogs().size(), c.dialogs.size());
        for (size_t i = 0; i < c.dialogs.size(); ++i) {
            EXPECT_EQ(rig.dialogs.Dialogs()[i].kind, c.dialogs[i]);
        }
        EXPECT_TRUE(rig.boxes.Boxes().empty());
        EXPECT_EQ(rig.target.lines.size(), 1u);
        EXPECT_EQ(rig.target.clearLinesCalls, 0);
    }
}

TEST(SaveLoadForm, LoadMusicAsksForAnExistingSongFileAndReportsOneThatVanished) {
    QTemporaryDir dir;
    const QString path = dir.filePath("gone.tql");
    FormRig rig;
    rig.target.lines = {{"Whole", "A4", "", ""}};
    rig.dialogs.Answer(path);
    rig.form.LoadMusic();

    ASSERT_EQ(rig.dialogs.Dialogs().size(), 1u);
    const FileDialogRequest& request = rig.dialogs.Dialogs()[0].request;
    EXPECT_EQ(request.title, "Loading music / config");
    EXPECT_EQ(request.fileName, "");
    EXPECT_EQ(request.filter, "This program's file type (*.TQL)|*.TQL|All files (*.*)|*.*");
    EXPECT_EQ(request.flags, 4100u);
    ASSERT_EQ(rig.boxes.Boxes().size(), 1u);
    EXPECT_EQ(rig.boxes.Boxes()[0].title, "Can't open file!");
    EXPECT_EQ(rig.boxes.Boxes()[0].text,
              "The file you want to open...\n" + path + "\n...can't be seen.");
    EXPECT_EQ(rig.boxes.Boxes()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(rig.target.lines.size(), 1u);
    EXPECT_EQ(rig.target.clearLinesCalls, 0);
}

} // namespace
} // namespace tq
