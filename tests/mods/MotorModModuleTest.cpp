#include "mods/MotorModModule.h"
#include "EditorRig.h"
#include "platform/QtSerialPort.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace tq {
namespace {

// The motor mod on a pty: the controller's side is the master, where the bytes are read.
class MotorModTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        fcntl(master, F_SETFL, O_NONBLOCK);
        port = std::make_unique<QtSerialPort>(QString::fromLocal8Bit(ttyname(slave)));
        motor = std::make_unique<MotorModModule>(MotorModModule::Deps{
            rig.log, rig.boxes, rig.sleep, *port, rig.switches, rig.form.Settings()});
        rig.tones.SetMotorOutput(motor.get());
        rig.form.SetFmodBeepStop([this] { motor->SendNeutral(); });
        rig.form.SetUseMotorClicked([this](bool on) { return motor->UseMotorCheckClicked(on); });
        motor->SetSwitchedOff([this] { rig.form.SetUseMotorCheck(false); });
        rig.form.EnableMotorControls();
    }
    void TearDown() override {
        motor.reset();
        port.reset();
        CloseMaster();
        ::close(slave);
    }
    void CloseMaster() {
        if (master >= 0) {
            ::close(master);
            master = -1;
        }
    }
    QByteArray Received() {
        QByteArray out;
        char buffer[256];
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;) {
            out.append(buffer, n);
        }
        return out;
    }
    void PlaySong(int ratio) {
        rig.Load({"Quarter C2", "Quarter F6", "Quarter A5"});
        rig.form.SetNoteSilenceRatio(ratio);
        rig.form.TheSequencer().SetPassLimit(1);
        rig.form.PlayAllButton_Click();
    }

    EditorRig rig;
    int master = -1;
    int slave = -1;
    std::unique_ptr<QtSerialPort> port;
    std::unique_ptr<MotorModModule> motor;
};

TEST_F(MotorModTest, ANoteSendsItsPulseWaitsItsTimeAndFifteenAndStopsBelowRatio100) {
    const struct {
        const char* note;
        int ratio;
        QByteArray bytes;
    } cases[] = {
        {"C1", 50, "#0P1350\r#0P1470\r"}, {"F3", 99, "#0P1000\r#0P1470\r"},
        {"F3", 100, "#0P1000\r"},         {"-", 100, "#0P1500\r"},
        {"G3", 50, "#0P0\r#0P1470\r"}, // outside the table
    };
    rig.form.SetUseMotorCheck(true);
    for (const auto& c : cases) {
        rig.form.SetNoteSilenceRatio(c.ratio);
        const double start = rig.ElapsedMs();
        motor->PlayMotorNote(QString::fromLatin1(c.note), 40);
        EXPECT_EQ(Received(), c.bytes) << c.note << " at " << c.ratio;
        EXPECT_EQ(rig.ElapsedMs() - start, 55) << c.note;
    }
}

TEST_F(MotorModTest, ASongFoldsIntoTheMotorRangeAndStopsAtTheEnd) {
    // C2 folds to C1, F6 to F3 and A5 to A2 with the motor octave at 2.
    const struct {
        int ratio;
        QByteArray bytes;
    } cases[] = {
        {50, "#0P1350\r#0P1470\r#0P1000\r#0P1470\r#0P1151\r#0P1470\r#0p1470\r"},
        {100, "#0P1350\r#0P1000\r#0P1151\r#0p1470\r"},
    };
    rig.form.SetMotorOctSlider(2);
    rig.form.SetUseMotorCheck(true);
    for (const auto& c : cases) {
        PlaySong(c.ratio);
        EXPECT_EQ(Received(), c.bytes) << "ratio " << c.ratio;
    }
    EXPECT_TRUE(rig.Tones().isEmpty());
    rig.form.SetUseMotorCheck(false);
    EXPECT_EQ(Received(), "#0p1470\r");
    EXPECT_FALSE(port->IsOpen());
}

TEST_F(MotorModTest, APortThatGoesAwayMidSongIsReportedOnceAndTheModSwitchesItselfOff) {
    rig.form.SetUseMotorCheck(true);
    rig.boxes.WhileShown([this] { rig.clock.AdvanceMs(5000); }); // nobody waits for it
    rig.At(100, [this] { CloseMaster(); }); // during the first note
    PlaySong(50);
    EXPECT_LT(rig.ElapsedMs(), 5000); // the song kept its time
    ASSERT_EQ(rig.boxes.Boxes().size(), 1u);
    EXPECT_TRUE(rig.boxes.Boxes()[0].text.contains("stopped taking commands"));
    EXPECT_FALSE(rig.switches.UseMotor);
    EXPECT_FALSE(rig.form.UseMotorCheck.Checked);
    EXPECT_TRUE(rig.form.UseMotorCheck.Enabled);
    EXPECT_FALSE(port->IsOpen());
    // The rest of the song is the speaker's.
    EXPECT_EQ(rig.Tones().size(), 2);
}

} // namespace
} // namespace tq
