#include "app/PlayerMidi.h"

#include "platform/MidiIoComponent.h"

#include <QCoreApplication>

namespace tq {

PlayerMidiOut::PlayerMidiOut(LogSink& log, MessageBoxes& boxes, PlayerState& state,
                             OutputSwitches& switches)
    : form_({log, boxes, state, switches, shuttingDown_}) {
    form_.SetOutputProvider([this] { return output_.get(); });
}

PlayerMidiOut::~PlayerMidiOut() {
    if (output_) {
        form_.CloseOutputDevice();
    }
}

bool PlayerMidiOut::Load(QString* why) {
    // The player is run from where it was built or installed, its components beside it.
    const QString path = QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                         QLatin1String(kMidiIoComponent.fileName);
    component_ = LoadComponent(path, kMidiIoComponent, why);
    if (!component_) {
        return false;
    }
    auto* midiIo = qobject_cast<MidiIoComponent*>(component_->Instance());
    if (midiIo == nullptr) {
        *why = path + QStringLiteral(" does not offer MIDI ports");
        return false;
    }
    output_ = midiIo->CreateOutput(QStringLiteral("tonquill-play"));
    return output_ != nullptr;
}

QStringList PlayerMidiOut::PortNames() {
    return output_ ? output_->PortNames() : QStringList();
}

int PlayerMidiOut::FindPort(const QStringList& names, const QString& wanted) {
    bool isIndex = false;
    const int index = wanted.toInt(&isIndex);
    if (isIndex) {
        return index >= 0 && index < names.size() ? index : -1;
    }
    for (int i = 0; i < names.size(); ++i) {
        if (!wanted.isEmpty() && names[i].contains(wanted, Qt::CaseInsensitive)) {
            return i;
        }
    }
    return -1;
}

void PlayerMidiOut::Start(int port, int channel, int instrument) {
    form_.UseMIDIOutCheck_Click(true);
    // List index 0 is the default port; port k follows at k + 1.
    form_.cmbMIDIOutDevice_Click(port + 1);
    form_.cmbChannel_Click(channel - 1);
    form_.cmbInstrument_Click(instrument - 1);
}

} // namespace tq
