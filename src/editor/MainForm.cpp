#include "editor/MainForm.h"

#include "core/LogSink.h"
#include "playback/ToneDispatcher.h"

namespace tq {

MainForm::MainForm(Deps deps, QObject* parent)
    : QObject(parent), d_(deps), position_(list_, settings_, deps.log),
      sequencer_({list_, settings_, deps.switches, state_, deps.tones, position_, deps.sleep,
                  deps.boxes, deps.log, *this}),
      metronome_({settings_, state_, deps.tones, deps.sleep, deps.log,
                  [this](bool visible) { SetBeepLabelVisible(visible); },
                  [this](bool lit) {
                      MetronomeLit = lit;
                      Changed("MetronomeButton");
                  }}) {
    list_.SetEditObserver([this](int line) { position_.Sums().InvalidateFrom(line); });
    position_.SetLabelsChanged([this] { emit PositionChanged(); });
    connect(&history_, &QUndoStack::cleanChanged, this, [this](bool clean) {
        emit ModifiedChanged(!clean);
        emit WindowTitleChanged();
    });
}

MainForm::~MainForm() = default;

void MainForm::SetCheck(CheckBoxState& box, const char* name, bool ticked) {
    box.Checked = ticked;
    Changed(name);
}

void MainForm::SetControlsForPlaying(bool playing) {
    PianoKeysEnabled = !playing;
    PlayButtonsEnabled = !playing;
    NoUpdateCheck.Enabled = !playing;
    StopPlayButtonEnabled = playing;
    Changed("PianoKey");
    Changed("PlayAllButton");
    Changed("NoUpdateCheck");
    Changed("StopPlayButton");
}

void MainForm::SetBeepLabelVisible(bool visible) {
    // The window paints the label before a tone that blocks the event loop starts.
    BeepTextLabelVisible = visible;
    Changed("BeepTextLabel");
}

void MainForm::FMODBeepStop() {
    if (fmodBeepStop_) {
        fmodBeepStop_();
    }
}

void MainForm::ShowEditPosition() {
    int line = LineIsSelected() ? list_.GetSelectedIndex() : list_.LineCount();
    position_.ShowPlayPos(position_.WorkOutPlayPos(line));
}

} // namespace tq
