// The program's MIDI mods: their components, installed into the system folder and loaded
// from there when first needed, their windows and their wiring to the main window.
#include "app/Program.h"

#include "platform/MidiFileComponent.h"
#include "platform/MidiIoComponent.h"

#include <QEvent>
#include <QProcessEnvironment>

namespace tq {

namespace {

// Runs a handler whenever the watched window becomes the active one.
class ActivationWatcher final : public QObject {
public:
    ActivationWatcher(QObject* parent, std::function<void()> onActivate)
        : QObject(parent), onActivate_(std::move(onActivate)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == QEvent::WindowActivate) {
            onActivate_();
        }
        return false;
    }

private:
    std::function<void()> onActivate_;
};

} // namespace

void Program::SetUpMidi() {
    QString windirNote;
    winFolder_ =
        ComponentInstaller::WinFolder(QProcessEnvironment::systemEnvironment(), &windirNote);
    if (!windirNote.isEmpty()) {
        log_.LogText(windirNote);
    }
    installer_ = std::make_unique<ComponentInstaller>(
        log_, boxes_, sleep_, clipboard_, launcher_, folder_, winFolder_,
        folder_ + QLatin1Char('/') + kRegisterProgramName);
    installer_->SetMarkerFolder(dataFolder_);
    installer_->SetUntickMIDIBoxes([this] { form_->UntickMIDIBoxes(); });

    midiOut_ = std::make_unique<MIDIOutForm>(
        MIDIOutForm::Deps{log_, boxes_, form_->State(), switches_, form_->ShuttingDown});
    midiOut_->SetOutputProvider([this] {
        MidiIoComponent* io = MidiIo();
        if (io != nullptr && !midiOutput_) {
            midiOutput_ = io->CreateOutput(QStringLiteral("Tonquill"));
        }
        return io != nullptr ? midiOutput_.get() : nullptr;
    });
    midiOut_->SetNoDeviceHandler([this] {
        form_->DisableUseMIDIOutCheck(QStringLiteral("No MIDI output device could be found."));
    });
    midiOut_->SetDeviceBackHandler([this] { form_->EnableUseMIDIOutCheck(); });
    midiOutWindow_ = std::make_unique<MIDIOutWindow>(*midiOut_);
    tones_->SetMidiOutput(midiOut_.get());
    form_->SetUseMIDIOutClicked([this](bool ticked) { midiOut_->UseMIDIOutCheck_Click(ticked); });

    midiIn_ = std::make_unique<MIDIInForm>(*form_, midiInTimers_);
    midiInTimers_.SetTickHandler([this](const QString& key) { midiIn_->cTmr_Timer(key); });
    midiIn_->SetInputProvider([this] {
        MidiIoComponent* io = MidiIo();
        if (io != nullptr && !midiInput_) {
            midiInput_ = io->CreateInput(QStringLiteral("Tonquill"));
        }
        return io != nullptr ? midiInput_.get() : nullptr;
    });
    midiInWindow_ = std::make_unique<MIDIInWindow>(*midiIn_);
    form_->SetUseMIDIInClicked([this](bool ticked) { midiIn_->UseMIDIInCheck_Click(ticked); });

    midiFile_ = std::make_unique<MIDIFileForm>(*form_, midiFileTimers_, clock_, dialogs_);
    midiFileTimers_.SetTickHandler([this](const QString& key) { midiFile_->cTmr_Timer(key); });
    midiFile_->SetReaderProvider([this] { return MidiFileComponentReader(); });
    midiFileWindow_ = std::make_unique<MIDIFileWindow>(*midiFile_);
    form_->SetUseMIDIFileClicked(
        [this](bool ticked) { midiFile_->UseMIDIFileCheck_Click(ticked); });

    // A keyboard plugged in after a box was greyed out for want of a port: coming back to
    // the main window to tick the box finds it usable. Only a greyed box lists the ports.
    window_->installEventFilter(new ActivationWatcher(window_.get(), [this] {
        midiIn_->CheckForDevices();
        midiOut_->CheckForDevices();
    }));
}

std::unique_ptr<LoadedComponent> Program::InstallAndLoad(const ComponentKind& kind) {
    const QString fileName = QLatin1String(kind.fileName);
    if (!installer_->CopyFileToSystem32(fileName)) {
        return nullptr; // said why, and unticked the MIDI boxes
    }
    const QString path = winFolder_ + QStringLiteral("/system32/") + fileName;
    QString why;
    std::unique_ptr<LoadedComponent> component = LoadComponent(path, kind, &why);
    if (!component) {
        boxes_.Show(QStringLiteral("Can't load a needed file!"),
                    QStringLiteral("The file '") + fileName + QStringLiteral("' in ") + winFolder_ +
                        QStringLiteral("/system32 can't be used:\r\n") + why +
                        QStringLiteral("\r\n\r\nDelete it there, and the program will copy a "
                                       "fresh one from its own folder the next time."),
                    MsgButtons::Ok, MsgIcon::Critical);
        form_->UntickMIDIBoxes();
    }
    return component;
}

MidiIoComponent* Program::MidiIo() {
    // The box asks for the component every time it is ticked; it is loaded once.
    if (midiIo_) {
        return installer_->CopyFileToSystem32(QLatin1String(kMidiIoComponent.fileName))
                   ? qobject_cast<MidiIoComponent*>(midiIo_->Instance())
                   : nullptr;
    }
    midiIo_ = InstallAndLoad(kMidiIoComponent);
    return midiIo_ ? qobject_cast<MidiIoComponent*>(midiIo_->Instance()) : nullptr;
}

MidiFileReader* Program::MidiFileComponentReader() {
    if (midiFileReader_) {
        return installer_->CopyFileToSystem32(QLatin1String(kMidiFileComponent.fileName))
                   ? midiFileReader_.get()
                   : nullptr;
    }
    midiFileComponent_ = InstallAndLoad(kMidiFileComponent);
    auto* component = midiFileComponent_
                          ? qobject_cast<MidiFileComponent*>(midiFileComponent_->Instance())
                          : nullptr;
    if (component != nullptr) {
        midiFileReader_ = component->CreateReader();
    }
    return midiFileReader_.get();
}

} // namespace tq
