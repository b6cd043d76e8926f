#include "interchange/SongWavRenderer.h"

#include "core/FileWriter.h"
#include "core/NoteLengths.h"
#include "editor/MainForm.h"
#include "fmodtone/OfflineSpeaker.h"
#include "interchange/HeadlessMods.h"
#include "interchange/HeadlessSong.h"
#include "mods/PortamentoForm.h"
#include "platform/QtNamedTimers.h"
#include "platform/audio/WavFile.h"

#include <algorithm>

namespace tq {

namespace {

// A progress bar needs no finer steps than these.
constexpr double kProgressStep = 0.001;
// Rendered samples go to the file in pieces of about this many bytes.
constexpr std::ptrdiff_t kWriteBytes = 1 << 18;
// The glide's last sound ends within its longest sound length after the song.
constexpr int64_t kLongestGlideTailNs = int64_t{2000} * 1'000'000;

// The last glide sounds out its length, as the player lets it, then the box is unticked.
void FinishGlide(MainForm& form, PortamentoForm& porta, SongWavRenderer& renderer) {
    const int64_t until = renderer.Clock().NowNs() + kLongestGlideTailNs;
    while (porta.optSoundStops && !porta.NeedToStop && !renderer.Cut() &&
           renderer.Clock().NowNs() < until) {
        form.Sleep().MsgWaitObj(10);
    }
    form.SetUsePortaCheck(false);
}


} // namespace

SongWavRenderer::SongWavRenderer() = default;

SongWavRenderer::~SongWavRenderer() = default;

bool SongWavRenderer::OpenSpeaker(QString* why) {
    speaker_ = OfflineSpeaker::Open(clock_, why);
    return speaker_ != nullptr;
}

void SongWavRenderer::ProgressPump::ProcessPendingEvents() {
    SongWavRenderer& r = owner_;
    r.queue_.ProcessPendingEvents();
    if (r.playing_ != nullptr && (r.Cut() || r.file_.Failed())) {
        // Nothing more goes into the file: the rest of the song need not be played.
        r.playing_->StopPlayButton_Click();
        r.playing_ = nullptr;
    }
    if (r.progress_ == nullptr || r.stopped_ || r.playing_ == nullptr) {
        return;
    }
    const double done =
        r.lengthNs_ > 0 ? static_cast<double>(r.clock_.NowNs() - r.startNs_) / r.lengthNs_ : 1;
    if (done - r.reported_ < kProgressStep) {
        return;
    }
    r.reported_ = std::min(done, 1.0);
    if (!(*r.progress_)(r.reported_)) {
        r.stopped_ = true;
        r.playing_->StopPlayButton_Click();
    }
}

bool SongWavRenderer::Play(MainForm& form, int passes, const Progress& progress) {
    double beats = 0;
    for (int i = 1; i <= form.List().LineCount(); ++i) {
        const MusicLine line = form.List().Line(i);
        beats += LineBeats(line.Length, line.Mod).ToDouble();
    }
    // What will be rendered: the song, or as much of it as one file takes.
    constexpr double kLongestNs =
        1e9 * static_cast<double>(OfflineSpeaker::kMaxFrames) / OfflineSpeaker::kSampleRate;
    lengthNs_ =
        std::min(beats * 60e9 / std::max(form.Settings().BPM, 1) * std::max(passes, 1), kLongestNs);
    startNs_ = clock_.NowNs();
    reported_ = 0;
    stopped_ = false;
    playing_ = &form;
    progress_ = progress ? &progress : nullptr;
    form.TheSequencer().SetPassLimit(passes);
    form.PlayAllButton_Click();
    playing_ = nullptr;
    progress_ = nullptr;
    return !stopped_;
}

bool SongWavRenderer::PlayOnce(const QByteArray& song, const RenderOptions& options,
                               MessageBoxes& boxes, LogSink& log, const Progress& progress,
                               const std::function<void(MainForm&)>& done) {
    HeadlessSong headless(*this, boxes, log);
    MainForm& form = headless.Form();
    VirtualNamedTimers glideTimers(clock_, queue_);
    std::unique_ptr<PortamentoForm> porta;
    if (options.portamento) {
        porta = StartPortamento(form, headless.Tones(), *speaker_, glideTimers, options.glide,
                                options.soundLength);
    }
    headless.LoadBytes(song);
    StartBeat(form, options.beat);
    const bool played = Play(form, 1, progress);
    if (porta) {
        FinishGlide(form, *porta, *this);
    }
    if (done) {
        done(form);
    }
    return played;
}

bool SongWavRenderer::StartFile(const QString& path, QString* why) {
    const std::string header = WavHeader(0, OfflineSpeaker::kSampleRate, 1);
    if (!file_.Open(path, why)) {
        return false;
    }
    file_.Append(header.data(), std::ssize(header));
    dataBytes_ = 0;
    pending_.clear();
    speaker_->SetSink([this](std::span<const float> block) {
        AppendWavSamples(pending_, block);
        dataBytes_ += std::ssize(block) * 2;
        if (std::ssize(pending_) >= kWriteBytes) {
            file_.Append(pending_.data(), std::ssize(pending_));
            pending_.clear();
        }
    });
    return true;
}

bool SongWavRenderer::FinishFile(QString* why) {
    speaker_->CatchUp();
    speaker_->SetSink(nullptr);
    file_.Append(pending_.data(), std::ssize(pending_));
    pending_.clear();
    // An hour of samples is far below the 4 GB a WAV file can count.
    const std::string header =
        WavHeader(static_cast<uint32_t>(dataBytes_), OfflineSpeaker::kSampleRate, 1);
    file_.Overwrite(0, QByteArray::fromRawData(header.data(), std::ssize(header)));
    return file_.Commit(why);
}

bool SongWavRenderer::Cut() const {
    return speaker_ != nullptr && speaker_->Cut();
}

QString SongWavRenderer::CutNote(const QString& written) {
    return QStringLiteral("%1 holds the first %2 minutes only: the whole would be too long for "
                          "one file.")
        .arg(written)
        .arg(OfflineSpeaker::kMaxFrames / OfflineSpeaker::kSampleRate / 60);
}

SongWavRenderer::Outcome SongWavRenderer::RenderSong(const QByteArray& song, const QString& path,
                                                     MessageBoxes& boxes, LogSink& log,
                                                     const Progress& progress, QString* why,
                                                     const RenderOptions& options) {
    SongWavRenderer renderer;
    if (!renderer.OpenSpeaker(why)) {
        return Outcome::Failed;
    }
    if (!renderer.StartFile(path, why)) {
        return Outcome::Failed;
    }
    if (!renderer.PlayOnce(song, options, boxes, log, progress)) {
        return Outcome::Stopped;
    }
    if (!renderer.FinishFile(why)) {
        return Outcome::Failed;
    }
    return renderer.Cut() ? Outcome::Cut : Outcome::Written;
}

} // namespace tq
