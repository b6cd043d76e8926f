#pragma once

#include <QString>

namespace tq {

class FileDialogs;
class LogSink;
class MainForm;
class MessageBoxes;
struct FileDialogRequest;

// What the WAV export shows while it renders: a progress bar with a Cancel button.
class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    virtual void Start(const QString& text) = 0;
    // The share done, 0 to 1; false once the user has cancelled.
    virtual bool Update(double fraction) = 0;
    virtual void Finish() = 0;
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
    };
    explicit InterchangeForm(Deps deps) : d_(deps) {}

    // One pass of the song rendered as tonquill-play --wav renders it.
    void ExportWavAction_Click();
    void ExportMidiAction_Click();
    // After the question about unsaved changes, the file's song replaces the song as one
    // step that Undo takes back; a box then says what was dropped or rounded.
    void ImportMidiAction_Click();

private:
    // The Save dialog, an extension added to a name typed without one, and the question
    // before a file is replaced; empty when the user cancelled.
    QString AskForExportPath(const QString& title, const QString& filter, const QString& extension);
    void CantWrite(const QString& path, const QString& why);

    Deps d_;
};

} // namespace tq
