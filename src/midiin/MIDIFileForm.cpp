#include "midiin/MIDIFileForm.h"

#include "core/FileGate.h"
#include "core/LogSink.h"
#include "core/Rounding.h"
#include "diag/FileExists.h"
#include "editor/MainForm.h"
#include "midiin/MidiFileDecoder.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/MidiFileReader.h"
#include "platform/NamedTimers.h"

#include <cmath>

namespace tq {

MIDIFileForm::MIDIFileForm(MainForm& main, NamedTimers& timers, Clock& clock, FileDialogs& dialogs,
                           QObject* parent)
    : HeldNoteWindow(main, timers, kTimerKey, parent), clock_(clock), dialogs_(dialogs) {}

MIDIFileForm::~MIDIFileForm() = default;

void MIDIFileForm::UseMIDIFileCheck_Click(bool ticked) {
    LogSink& log = main_.Log();
    log.LogIndentInc(QStringLiteral("UseMIDIFileCheck has been clicked - START"));
    if (ticked) {
        log.LogText(QStringLiteral("Value is 1"));
        log.LogText(QStringLiteral("Checking 'midifl32.ocx' exists in system32"));
        reader_ = provider_ ? provider_() : nullptr;
        if (reader_ != nullptr) {
            log.LogText(QStringLiteral("Showing MIDIFileForm"));
            visible_ = true;
            if (loaded_) {
                emit Changed();
            } else {
                Load();
            }
            log.LogText(QStringLiteral("Disabling UseMIDIInCheck"));
            main_.SetUseMIDIInCheckEnabled(
                false, QStringLiteral("Not while 'Play a MIDI file' is ticked."));
        }
    } else {
        log.LogText(QStringLiteral("Value is 0"));
        main_.FMODBeepStop();
        cmdStop_Click();
        main_.ReturnAlternateTime();
        visible_ = false;
        emit Changed();
        main_.SetUseMIDIInCheckEnabled(true);
    }
    log.LogIndentDec(QStringLiteral("UseMIDIFileCheck has been clicked - END"));
}

void MIDIFileForm::Load() {
    main_.Log().LogText(QStringLiteral("MIDIFileForm.Form_Load() - START"));
    loaded_ = true;
    visible_ = true;
    SetAutoTimeCheck(true);
    timers_.Add(kTimerKey, 2, false);
    main_.Log().LogText(QStringLiteral("MIDIFileForm.Form_Load() - END"));
}

void MIDIFileForm::cmdBrowse_Click() {
    main_.Log().LogText(QStringLiteral("MIDI File Playback - Browse clicked"));
    FileDialogRequest request;
    request.title = QStringLiteral("Please choose MIDI file to play");
    request.filter = QStringLiteral("MIDI files (*.mid;*.rmi)|*.mid;*.rmi");
    request.flags = kFileMustExist | kHideReadOnly;
    const QString path = dialogs_.Open(request);
    if (path.isEmpty() || !FileExists(path, main_.Log())) {
        return;
    }
    OpenFile(path);
}

bool MIDIFileForm::OpenFile(const QString& path) {
    fileText_ = path;
    emit Changed();
    if (reader_ == nullptr && provider_) {
        reader_ = provider_();
    }
    const InputFile file = ReadWhole(path, kMaxMidiFileBytes);
    QString why = file.why;
    bool ok = reader_ != nullptr && file.ok;
    if (ok) {
        ok = reader_->Parse(file.bytes, &why);
    }
    if (!ok) {
        main_.Log().LogText(QStringLiteral("MIDI file not understood: ") + why);
        // The reader's or the file check's reason follows on a line of its own.
        main_.Boxes().Show(
            QStringLiteral("Failed to open MIDI file!"),
            QStringLiteral("Either couldn't open or couldn't recognize file "
                           "format of this MIDI file...") +
                (why.isEmpty() ? QString() : QStringLiteral("\n\n") + AsSentence(why)),
            MsgButtons::Ok, MsgIcon::Exclamation);
        SetPlaybackControlsEnabled(false);
        return false;
    }
    infoVisible_ = true;
    DecodedMidiFile song = DecodeMidiFile(
        *reader_, [this](const QString& text) { emit ShowInfoText(text); },
        [this] { return clock_.TickCount(); });
    times_ = std::move(song.times);
    bytes_ = std::move(song.bytes);
    songLength_ = song.songLength;
    playPos_ = 0;
    SetPlaybackControlsEnabled(true);
    cmdRewind_Click();
    infoVisible_ = false;
    emit Changed();
    return true;
}

int64_t MIDIFileForm::NowMs() {
    const int64_t freq = clock_.PerformanceFrequency();
    return RoundHalfEven(static_cast<double>(clock_.PerformanceCounter()) * 1000.0 /
                         static_cast<double>(freq));
}

void MIDIFileForm::cmdPlay_Click() {
    if (TotalEvents() < 1) {
        return;
    }
    if (playPos_ >= TotalEvents()) {
        playPos_ = 0;
    }
    // Song time goes on from the current position.
    startOffset_ = NowMs() - RoundHalfEven(times_[static_cast<size_t>(playPos_)]);
    playing_ = true;
    timers_.SetEnabled(kTimerKey, true);
    emit Changed();
}

void MIDIFileForm::Step() {
    if (!playing_) {
        timers_.SetEnabled(kTimerKey, false);
        return;
    }
    const int64_t elapsed = NowMs() - startOffset_;
    if (CheckSongEnd()) {
        return;
    }
    while (times_[static_cast<size_t>(playPos_)] <= static_cast<double>(elapsed)) {
        const auto& b = bytes_[static_cast<size_t>(playPos_)];
        SimulateMIDIMessage(b[0], b[1], b[2]);
        ++playPos_;
        if (CheckSongEnd()) {
            return;
        }
    }
    ShowFilePosition();
    main_.PlayLiveMIDIInput(*this);
}

void MIDIFileForm::SimulateMIDIMessage(int note, int velocity, int status) {
    if (note < 128 && status >= 128 && status < 160) {
        NoteMessage(status, note, velocity);
    }
}

bool MIDIFileForm::CheckSongEnd() {
    if (playPos_ < TotalEvents()) {
        return false;
    }
    cmdStop_Click();
    ShowSongEnd();
    if (loop_) {
        cmdRewind_Click();
        cmdPlay_Click();
    }
    return true;
}

void MIDIFileForm::cmdStop_Click() {
    AllNotesOff();
    playing_ = false;
    // Finds nothing held: clears the grid and stops the soundcard tone.
    main_.PlayLiveMIDIInput(*this);
    main_.FMODBeepStop();
    timers_.SetEnabled(kTimerKey, false);
    emit Changed();
}

void MIDIFileForm::cmdRewind_Click() {
    const bool wasPlaying = playing_;
    cmdStop_Click();
    playPos_ = 0;
    ShowFilePosition();
    if (wasPlaying) {
        cmdPlay_Click();
    }
}

void MIDIFileForm::chkLoop_Click(bool ticked) {
    loop_ = ticked;
    emit Changed();
}

void MIDIFileForm::sldPosition_Change(int value) {
    sliderValue_ = value;
    if (updatingSlider_ || TotalEvents() < 1) {
        return;
    }
    const bool wasPlaying = playing_;
    cmdStop_Click();
    playPos_ = static_cast<int32_t>(
        RoundHalfEven(value / double{kSliderMax} * static_cast<double>(TotalEvents() - 1)));
    ShowFilePosition();
    if (wasPlaying) {
        cmdPlay_Click();
    }
}

void MIDIFileForm::CloseBoxClick() {
    main_.SetUseMIDIFileCheck(false); // stops and hides
}

QString MIDIFileForm::TimeText(double ms) const {
    const double seconds = ms / 1000.0;
    // 64-bit: an SMPTE file's times can run past 2^31 ms.
    const auto minutes = static_cast<int64_t>(std::floor(seconds / 60.0));
    return QStringLiteral("%1:%2")
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds - static_cast<double>(minutes) * 60.0, 5, 'f', 2, QLatin1Char('0'));
}

void MIDIFileForm::ShowFilePosition() {
    const int32_t total = TotalEvents();
    const int32_t p = playPos_ > 0 ? playPos_ - 1 : 0;
    // A song of one event has no way through it: it shows its start.
    const double share = total > 1 ? static_cast<double>(p) / (total - 1) : 0.0;
    posPercent_ = QString::number(share * 100.0, 'f', 2) + QLatin1Char('%');
    posSecs_ = TimeText(total > 0 ? times_[static_cast<size_t>(p)] : 0.0);
    SetSlider(static_cast<int>(RoundHalfEven(share * kSliderMax)));
}

void MIDIFileForm::ShowSongEnd() {
    posPercent_ = QStringLiteral("100.00%");
    posSecs_ = TimeText(TotalEvents() > 0 ? times_.back() : 0.0);
    SetSlider(kSliderMax);
}

void MIDIFileForm::SetSlider(int value) {
    updatingSlider_ = true;
    sliderValue_ = value;
    // Shown on every playback tick: the window hears of it only when something moved.
    if (shownPosition_ != std::tie(posPercent_, posSecs_, sliderValue_)) {
        shownPosition_ = {posPercent_, posSecs_, sliderValue_};
        emit Changed();
    }
    updatingSlider_ = false;
}

void MIDIFileForm::SetPlaybackControlsEnabled(bool enabled) {
    controlsEnabled_ = enabled;
    emit Changed();
}

} // namespace tq
