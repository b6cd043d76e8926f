#include "interchange/InterchangeForm.h"

#include "core/FileGate.h"
#include "core/FileWriter.h"
#include "diag/FileExists.h"
#include "editor/MainForm.h"
#include "editor/MainFormSongTarget.h"
#include "interchange/InterchangeFiles.h"
#include "interchange/MidiExport.h"
#include "interchange/MidiImport.h"
#include "interchange/RtttlExport.h"
#include "interchange/SongWavRenderer.h"
#include "mods/PortamentoForm.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "songfile/SongFormat.h"

#include <QDir>
#include <QFileInfo>

namespace tq {

namespace {

const QString kMidiFilter = QStringLiteral("Standard MIDI files (*.MID)|*.MID|All files (*.*)|*.*");
const QString kImportFilter = QStringLiteral(
    "MIDI files and ringtone text (*.MID;*.MIDI;*.RMI;*.RTTTL;*.RTX;*.TXT)|"
    "*.MID;*.MIDI;*.RMI;*.RTTTL;*.RTX;*.TXT|Standard MIDI files (*.MID)|*.MID;*.MIDI;*.RMI|"
    "Ringtone text (*.RTTTL)|*.RTTTL;*.RTX;*.TXT|All files (*.*)|*.*");
const QString kRtttlFilter =
    QStringLiteral("Ringtone text (*.RTTTL)|*.RTTTL;*.RTX|All files (*.*)|*.*");
const QString kBeepScriptFilter =
    QStringLiteral("Shell scripts for the beep command (*.SH)|*.SH|All files (*.*)|*.*");
const QString kSketchFilter =
    QStringLiteral("Microcontroller sketches (*.INO)|*.INO|All files (*.*)|*.*");
const QString kWavFilter = QStringLiteral("WAV files (*.WAV)|*.WAV|All files (*.*)|*.*");

} // namespace

QString InterchangeForm::AskForExportPath(const QString& title, const QString& filter,
                                          const QString& extension) {
    FileDialogRequest request;
    request.title = title;
    request.fileName = QFileInfo(d_.form.SongName()).completeBaseName() + extension;
    if (!d_.form.SongPath().isEmpty()) {
        // Beside the song, where its other forms are looked for.
        request.fileName = QFileInfo(d_.form.SongPath()).dir().filePath(request.fileName);
    }
    request.filter = filter;
    request.flags = kPathMustExist;
    QString path = d_.dialogs.Save(request);
    if (path.isEmpty()) {
        return path;
    }
    if (!QFileInfo(path).fileName().contains(QLatin1Char('.'))) {
        path += extension;
    }
    if (FileExists(path, d_.log) &&
        d_.boxes.Show(QStringLiteral("File already exists"),
                      QStringLiteral("The file you want to export to:\n") + path +
                          QStringLiteral("\n...already exists.\n\nShould this file be replaced?"),
                      MsgButtons::YesNo, MsgIcon::Exclamation) != MsgAnswer::Yes) {
        return {};
    }
    return path;
}

void InterchangeForm::CantWrite(const QString& path, const QString& why) {
    d_.boxes.Show(QStringLiteral("Can't export"),
                  QStringLiteral("The file you want to export to...\n") + path +
                      QStringLiteral("\n...can't be written (") + why + QStringLiteral(")."),
                  MsgButtons::Ok, MsgIcon::Exclamation);
}

void InterchangeForm::ExportWavAction_Click() {
    // A song playing under the dialogs would stand still until they close.
    d_.form.StopPlayButton_Click();
    const QString path =
        AskForExportPath(QStringLiteral("Export WAV"), kWavFilter, QStringLiteral(".wav"));
    if (path.isEmpty()) {
        return;
    }
    const QByteArray song = SongText(MainFormSongTarget(d_.form));
    d_.progress.Start(QStringLiteral("Export WAV"),
                      QStringLiteral("Rendering %1...").arg(QFileInfo(path).fileName()));
    QString why;
    const SongWavRenderer::Outcome outcome = SongWavRenderer::RenderSong(
        song, path, d_.boxes, d_.log, [this](double done) { return d_.progress.Update(done); },
        &why, PlayOptions());
    d_.progress.Finish();
    if (outcome == SongWavRenderer::Outcome::Failed) {
        CantWrite(path, why);
    } else if (outcome == SongWavRenderer::Outcome::Cut) {
        d_.boxes.Show(QStringLiteral("Export WAV"), SongWavRenderer::CutNote(), MsgButtons::Ok,
                      MsgIcon::Information);
    }
}

void InterchangeForm::ExportMidiAction_Click() {
    d_.form.StopPlayButton_Click();
    const QString path =
        AskForExportPath(QStringLiteral("Export MIDI"), kMidiFilter, QStringLiteral(".mid"));
    if (path.isEmpty()) {
        return;
    }
    const MidiExport midi = ExportMidi(MainFormSongTarget(d_.form));
    QString why;
    if (!WriteFileReplacing(path, midi.bytes, &why)) {
        CantWrite(path, why);
    } else if (midi.unreadableNotes > 0) {
        d_.boxes.Show(
            QStringLiteral("Export MIDI"),
            QStringLiteral("%1 notes that name no note were left out.").arg(midi.unreadableNotes),
            MsgButtons::Ok, MsgIcon::Information);
    }
}

void InterchangeForm::ExportRtttlAction_Click() {
    d_.form.StopPlayButton_Click();
    const QString title = QStringLiteral("Export RTTTL");
    if (d_.form.List().LineCount() == 0) {
        d_.boxes.Show(title, QStringLiteral("The list is empty: there is no tune to export."),
                      MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    const QString path = AskForExportPath(title, kRtttlFilter, QStringLiteral(".rtttl"));
    if (path.isEmpty()) {
        return;
    }
    const RtttlExport tune =
        ExportRtttl(MainFormSongTarget(d_.form), QFileInfo(path).completeBaseName());
    QString why;
    if (!WriteFileReplacing(path, tune.text, &why)) {
        CantWrite(path, why);
    } else if (!tune.Lossless()) {
        d_.boxes.Show(title, tune.Summary(), MsgButtons::Ok, MsgIcon::Information);
    }
}

RenderOptions InterchangeForm::PlayOptions() const {
    RenderOptions options;
    if (d_.form.UseBeat) {
        options.beat = d_.form.Beat().BeatEvenOnly ? QStringLiteral("odd") : QStringLiteral("all");
    }
    if (d_.form.UsePortaCheck.Checked && d_.portamento != nullptr) {
        options.portamento = true;
        options.glide = d_.portamento->PitchMultiple;
        options.soundLength = d_.portamento->optSoundStops ? d_.portamento->SoundLengthSlider : 0;
    }
    return options;
}

void InterchangeForm::ExportBeepScriptAction_Click() {
    ExportTonesAs(ToneFormat::BeepScript);
}

void InterchangeForm::ExportSketchAction_Click() {
    ExportTonesAs(ToneFormat::Sketch);
}

void InterchangeForm::ExportTonesAs(ToneFormat format) {
    d_.form.StopPlayButton_Click();
    const bool script = format == ToneFormat::BeepScript;
    const QString title =
        script ? QStringLiteral("Export beep script") : QStringLiteral("Export sketch");
    const QString path = script ? AskForExportPath(title, kBeepScriptFilter, QStringLiteral(".sh"))
                                : AskForExportPath(title, kSketchFilter, QStringLiteral(".ino"));
    if (path.isEmpty()) {
        return;
    }
    const QByteArray song = SongText(MainFormSongTarget(d_.form));
    d_.progress.Start(title, QStringLiteral("Playing %1...").arg(QFileInfo(path).fileName()));
    QString why;
    const SongWavRenderer::Outcome outcome = ExportTones(
        format, song, PlayOptions(), QFileInfo(path).completeBaseName(), path, d_.boxes, d_.log,
        &why, [this](double done) { return d_.progress.Update(done); });
    d_.progress.Finish();
    if (outcome == SongWavRenderer::Outcome::Failed) {
        CantWrite(path, why);
    } else if (outcome == SongWavRenderer::Outcome::Cut) {
        d_.boxes.Show(title,
                      SongWavRenderer::CutNote(script ? QStringLiteral("The script")
                                                      : QStringLiteral("The sketch")),
                      MsgButtons::Ok, MsgIcon::Information);
    }
}

void InterchangeForm::CantImport(const QString& path, const QString& as, const QString& why) {
    d_.boxes.Show(QStringLiteral("Can't import"),
                  QStringLiteral("The file you want to import...\n") + path +
                      QStringLiteral("\n...can't be read as ") + as + QStringLiteral(" (") + why +
                      QStringLiteral(")."),
                  MsgButtons::Ok, MsgIcon::Exclamation);
}

void InterchangeForm::ImportAction_Click() {
    d_.form.StopPlayButton_Click();
    if (!d_.form.AskToSaveChanges()) {
        return;
    }
    FileDialogRequest request;
    request.title = QStringLiteral("Import");
    request.filter = kImportFilter;
    request.flags = kFileMustExist | kHideReadOnly;
    const QString path = d_.dialogs.Open(request);
    if (!path.isEmpty()) {
        ImportFile(path);
    }
}

void InterchangeForm::ImportFile(const QString& path) {
    if (IsRingtoneFile(path)) {
        ImportTune(path);
    } else {
        ImportMidi(path);
    }
}

void InterchangeForm::ImportMidi(const QString& path) {
    const InputFile in = ReadWhole(path, kMaxMidiFileBytes);
    MidiImport midi;
    if (in.ok) {
        midi = tq::ImportMidi(in.bytes);
    } else {
        midi.why = in.why;
    }
    if (!midi.read) {
        CantImport(path, QStringLiteral("a MIDI file"), midi.why);
        return;
    }
    d_.form.ImportSong(QFileInfo(path).fileName(),
                       [&midi](SongTarget& target) { ApplyImport(midi, target); });
    d_.boxes.Show(QStringLiteral("Import MIDI"), midi.summary, MsgButtons::Ok,
                  MsgIcon::Information);
}

void InterchangeForm::ImportTune(const QString& path) {
    const RtttlText text = ReadRingtoneFile(path);
    if (!text.ok) {
        CantImport(path, QStringLiteral("ringtone text"), text.why);
        return;
    }
    int chosen = 0;
    if (text.tunes.size() > 1) {
        QStringList names;
        for (const RtttlTune& tune : text.tunes) {
            names << tune.name;
        }
        chosen = d_.tunes.Choose(QStringLiteral("Import RTTTL"),
                                 QStringLiteral("%1 holds %2 tunes. Which one?")
                                     .arg(QFileInfo(path).fileName())
                                     .arg(names.size()),
                                 names);
        if (chosen < 0 || chosen >= names.size()) {
            return;
        }
    }
    const RtttlTune& tune = text.tunes[static_cast<size_t>(chosen)];
    d_.form.ImportSong(QFileInfo(path).fileName(),
                       [&tune](SongTarget& target) { ApplyTune(tune, target); });
    const QString skipped = text.SkippedNote();
    d_.boxes.Show(QStringLiteral("Import RTTTL"),
                  skipped.isEmpty() ? tune.Summary()
                                    : tune.Summary() + QStringLiteral("\n\nOf the file, ") +
                                          skipped + QLatin1Char('.'),
                  MsgButtons::Ok, MsgIcon::Information);
}

} // namespace tq
