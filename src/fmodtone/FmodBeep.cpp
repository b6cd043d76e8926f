#include "fmodtone/FmodBeep.h"

#include "core/LogSink.h"
#include "core/NonLockingSleep.h"
#include "core/Rounding.h"
#include "fmodtone/FmodErrorCheck.h"
#include "fmodtone/FmodOptions.h"

#include <algorithm>

namespace tq {

namespace {

QString TrueFalse(bool b) {
    return b ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

} // namespace

FmodBeep::FmodBeep(snd::SoundEngine& engine, LogSink& log, MessageBoxes& boxes,
                   NonLockingSleep& sleep, OutputSwitches& switches)
    : engine_(engine), log_(log), boxes_(boxes), sleep_(sleep), switches_(switches) {}

bool FmodBeep::Check(int32_t result) {
    result_ = result;
    return ERRCHECK(result, log_, boxes_);
}

bool FmodBeep::SetUp() {
    available_ = false;
    std::string why;
    std::string outputName;
    available_ = engine_.ProbeOutput(&why, &outputName);
    log_.LogText(QStringLiteral("Sound output test (") +
                 QString::fromStdString(available_ ? outputName : why) + QStringLiteral(") = ") +
                 TrueFalse(available_));
    if (!available_) {
        log_.LogText(QStringLiteral("FMOD can NOT be used ('fmodex.dll' not seen)"));
        return false;
    }
    log_.LogText(QStringLiteral("FMOD can be used ('fmodex.dll' seen)"));

    Check(engine_.System_Create(&system_));
    uint32_t version = 0;
    Check(engine_.System_GetVersion(system_, &version));
    FmodVersionCheck(version, boxes_);
    Check(engine_.System_SetDSPBufferSize(system_, 16, 256));
    if (!Check(engine_.System_Init(system_, 2, 0))) {
        log_.LogText(QStringLiteral("Sound output: ") +
                     QString::fromStdString(engine_.System_OutputError(system_)));
    }
    GetFMODBufferLength();
    Check(engine_.System_CreateDSPByType(system_, snd::kDspOscillator, &beepDsp_));
    Check(engine_.System_PlayDSP(system_, snd::SoundEngine::kFreeChannel, beepDsp_, true,
                                 &beepChannel_));
    ChangeDSPType(snd::kWaveSquare);
    return true;
}

void FmodBeep::CloseSystem() {
    if (system_ == 0) {
        return;
    }
    log_.LogText(QStringLiteral("Closing and releasing FMOD system 'System'"));
    Check(engine_.System_Close(system_));
    Check(engine_.System_Release(system_));
    system_ = 0;
    beepDsp_ = 0;
    beepChannel_ = 0;
}

void FmodBeep::ChangeDSPType(int32_t code) {
    dspBaseRate_ = 4000.0;
    // Our square counts its rate in half-cycles, so 8000 sounds the same pitch as the
    // other waves at 4000.
    const float rate = code == snd::kWaveSquare ? 8000.0f : 4000.0f;
    Check(engine_.DSP_SetParameter(beepDsp_, 1, rate));
    Check(engine_.Channel_SetVolume(beepChannel_, kBeepVolume));
    Check(engine_.DSP_SetParameter(beepDsp_, 0, static_cast<float>(code)));
    dspType_ = code;
}

void FmodBeep::FMODBeep(int32_t frequency, double durationMs, bool noStop, bool noWait) {
    log_.LogText(QStringLiteral("FMODBeep(FREQUENCY:") + QString::number(frequency) +
                 QStringLiteral(", DURATION: ") + NumText(durationMs) +
                 QStringLiteral(", NOSTOP:") + TrueFalse(noStop) + QStringLiteral(") - START"));
    const float f = static_cast<float>(frequency);
    const double scaled = static_cast<double>(f) * 1.088;
    const float channelFrequency =
        dspBaseRate_ > 0.0 ? static_cast<float>(scaled * (44100.0 / dspBaseRate_)) : 0.0f;
    if (Check(engine_.Channel_SetFrequency(beepChannel_, channelFrequency))) {
        Check(engine_.Channel_SetPaused(beepChannel_, false));
    } else {
        // A tone that cannot be played is silence, not the last note held on.
        engine_.Channel_SetPaused(beepChannel_, true);
    }
    if (!noWait) {
        const int32_t d = RoundToInt32(durationMs);
        log_.LogText(QStringLiteral("MsgWaitObj ") + QString::number(d));
        // A negative wait would be taken for the infinite one.
        sleep_.MsgWaitObj(std::max(d, 0));
    }
    if (!noStop) {
        Check(engine_.Channel_SetPaused(beepChannel_, true));
    }
    log_.LogText(QStringLiteral("FMODBeep() - END"));
}

void FmodBeep::FMODBeepStop() {
    if (switches_.UseFMOD) {
        Check(engine_.Channel_SetPaused(beepChannel_, true));
    }
    if (switches_.UseMotor && motorNeutral_) {
        motorNeutral_();
    }
}

int32_t FmodBeep::GetFMODBufferLength() {
    log_.LogIndentInc(QStringLiteral("GetFMODBufferLength() - START"));
    int32_t samples = 0;
    int32_t buffers = 0;
    const int32_t r = engine_.System_GetDSPBufferSize(system_, &samples, &buffers);
    log_.LogText(QStringLiteral("Number of samples in each buffer is ") + QString::number(samples));
    log_.LogText(QStringLiteral("Number of buffers is ") + QString::number(buffers));
    Check(r);
    const int32_t total = samples * buffers;
    log_.LogText(QStringLiteral("Total number of samples in buffers is ") + QString::number(total));
    int32_t rate = 0;
    const int32_t r2 = engine_.System_GetSoftwareFormat(system_, &rate, nullptr);
    log_.LogText(QStringLiteral("Sample rate is ") + QString::number(rate));
    Check(r2);
    // Without a rate (no system) there is no buffer to speak of, rather than a division
    // by zero.
    const int32_t ms = rate > 0 ? RoundToInt32(1000.0 / rate * total) : 0;
    log_.LogText(QStringLiteral("Buffer length in milliseconds is ") + QString::number(ms));
    log_.LogIndentDec(QStringLiteral("GetFMODBufferLength() - END"));
    return ms;
}

void FmodBeep::UseFMODCheckClicked(bool ticked) {
    if (ticked) {
        switches_.UseFMOD = true;
        if (options_) {
            options_->Show();
        }
    } else {
        FMODBeepStop();
        switches_.UseFMOD = false;
        if (options_) {
            options_->Hide();
        }
    }
}

} // namespace tq
