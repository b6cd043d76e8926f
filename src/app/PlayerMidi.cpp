#include "app/PlayerMidi.h"

#include "platform/MidiFileComponent.h"
#include "platform/MidiIoComponent.h"
#include "platform/NamedTimers.h"

#include <QCoreApplication>

namespace tq {

QString PortCount(const QStringList& names) {
    switch (names.size()) {
    case 0:
        return QStringLiteral("there are no ports");
    case 1:
        return QStringLiteral("there is 1 port; --list-midi shows it");
    default:
        return QStringLiteral("there are %1 ports; --list-midi shows them").arg(names.size());
    }
}

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

namespace {

// The player is run from where it was built or installed, its components beside it.
std::unique_ptr<LoadedComponent> LoadBeside(const ComponentKind& kind, QString* why) {
    return LoadComponent(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                             QLatin1String(kind.fileName),
                         kind, why);
}

} // namespace

bool PlayerMidiOut::Load(QString* why) {
    component_ = LoadBeside(kMidiIoComponent, why);
    if (!component_) {
        return false;
    }
    auto* midiIo = qobject_cast<MidiIoComponent*>(component_->Instance());
    if (midiIo == nullptr) {
        *why = QStringLiteral("the MIDI ports component offers no MIDI ports");
        return false;
    }
    output_ = midiIo->CreateOutput(QStringLiteral("tonquill-play"));
    return output_ != nullptr;
}

QStringList PlayerMidiOut::PortNames() {
    return output_ ? output_->PortNames() : QStringList();
}

QStringList PlayerMidiOut::InputPortNames() {
    auto* midiIo = component_ ? qobject_cast<MidiIoComponent*>(component_->Instance()) : nullptr;
    if (midiIo == nullptr) {
        return {};
    }
    return midiIo->CreateInput(QStringLiteral("tonquill-play"))->PortNames();
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

void PlayerMidiOut::Start(const QString& port, int channel, int instrument, int octaveOffset) {
    form_.UseMIDIOutCheck_Click(true);
    // The window lists the ports once more, and a port may have come since: found by name.
    // Item 0 is the default port, the ports follow from 1.
    const QStringList& items = form_.DeviceItems();
    const int index = static_cast<int>(items.mid(1).indexOf(port));
    if (index >= 0) {
        form_.cmbMIDIOutDevice_Click(index + 1);
    }
    form_.cmbChannel_Click(channel - 1);
    form_.cmbInstrument_Click(instrument - 1);
    form_.spnOctaveOffset_Change(octaveOffset);
}

PlayerHeldNotes::PlayerHeldNotes(MainForm& form, NamedTimers& timers, Clock& clock,
                                 FileDialogs& dialogs)
    : in_(form, timers), file_(form, timers, clock, dialogs) {
    timers.SetTickHandler([this](const QString& key) {
        if (key == MIDIInForm::kTimerKey) {
            in_.cTmr_Timer(key);
        } else {
            file_.cTmr_Timer(key);
        }
    });
    in_.SetInputProvider([this] { return input_.get(); });
    file_.SetReaderProvider([this] { return reader_.get(); });
}

PlayerHeldNotes::~PlayerHeldNotes() {
    if (in_.MIDIInIsOpen()) {
        in_.CloseInputDevice();
    }
}

bool PlayerHeldNotes::LoadMidiIo(QString* why) {
    midiIo_ = LoadBeside(kMidiIoComponent, why);
    auto* midiIo = midiIo_ ? qobject_cast<MidiIoComponent*>(midiIo_->Instance()) : nullptr;
    if (midiIo != nullptr) {
        input_ = midiIo->CreateInput(QStringLiteral("tonquill-play"));
    }
    return input_ != nullptr;
}

bool PlayerHeldNotes::LoadMidiFile(QString* why) {
    midiFile_ = LoadBeside(kMidiFileComponent, why);
    auto* component = midiFile_ ? qobject_cast<MidiFileComponent*>(midiFile_->Instance()) : nullptr;
    if (component != nullptr) {
        reader_ = component->CreateReader();
    }
    return reader_ != nullptr;
}

QStringList PlayerHeldNotes::InputPortNames() {
    return input_ ? input_->PortNames() : QStringList();
}

void PlayerHeldNotes::StartInput(const QString& port) {
    in_.UseMIDIInCheck_Click(true);
    const int index = static_cast<int>(in_.DeviceItems().indexOf(port));
    if (index >= 0 && in_.DeviceIndex() != index) {
        in_.cmbMIDIInDevice_Click(index);
    }
}

void PlayerHeldNotes::StartFile() {
    file_.UseMIDIFileCheck_Click(true);
}

} // namespace tq
