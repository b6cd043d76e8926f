#pragma once

#include "interchange/ToneExport.h"

#include <QString>
#include <QStringList>

namespace tq {

class FileDialogs;
class PortamentoForm;
class LogSink;
class MainForm;
class MessageBoxes;
struct FileDialogRequest;

// What an export that plays the song shows while it plays: a progress bar with a Cancel
// button.
class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    virtual void Start(const QString& title, const QString& text) = 0;
    // The share done, 0 to 1; false once the user has cancelled.
    virtual bool Update(double fraction) = 0;
    virtual void Finish() = 0;
};

// Asks which of several tunes to import.
class TuneChooser {
public:
    virtual ~TuneChooser() = default;
    // The index of the chosen name; -1 when the user cancelled.
    virtual int Choose(const QString& title, const QString& label, const QStringList& names) = 0;
};

// The main window's File menu: the song exported as a WAV or MIDI file, a MIDI file
// imported in its place.
class InterchangeForm {
public:
    struct Deps {
        MainForm& form;
        FileDialogs& dialogs;
        MessageBoxes& boxes;
        LogSink& log;
        ExportProgress& progress;
        TuneChooser& tunes;
        // The window's glide, whose settings a played export takes while it is ticked.
        const PortamentoForm* portamento = nullptr;
    };
    explicit InterchangeForm(Deps deps) : d_(deps) {}

    // One pass of the song rendered as tonquill-play --wav renders it, with the beat sound
    // and the glide when their boxes are ticked (as the beep script and sketch are).
    void ExportWavAction_Click();
    void ExportMidiAction_Click();
    // One tune named after the file; a box counts what the tune could not hold.
    void ExportRtttlAction_Click();
    // What the speaker plays, for the beep command or a microcontroller.
    void ExportBeepScriptAction_Click();
    void ExportSketchAction_Click();
    // After the question about unsaved changes, the file's song replaces the song as one
    // step that Undo takes back; a box then says what was dropped or rounded. A MIDI file
    // or ringtone text, by its extension (and, for others, its first line); of several
    // tunes the user picks one.
    void ImportAction_Click();
    // The same for a file chosen elsewhere (given on the command line), without the question.
    void ImportFile(const QString& path);

private:
    // The Save dialog, an extension added to a name typed without one, and the question
    // before a file is replaced; empty when the user cancelled.
    QString AskForExportPath(const QString& title, const QString& filter, const QString& extension);
    void CantWrite(const QString& path, const QString& why);
    // The window's mods as a played export takes them.
    RenderOptions PlayOptions() const;
    void ExportTonesAs(ToneFormat format);
    void CantImport(const QString& path, const QString& as, const QString& why);
    void ImportMidi(const QString& path);
    void ImportTune(const QString& path);

    Deps d_;
};

} // namespace tq
