#pragma once

#include "songfile/LoadProgress.h"
#include "songfile/SongFile.h"

#include <QObject>
#include <QString>

#include <functional>

namespace tq {

class FileDialogs;
class LogSink;
class MessageBoxes;
class SongTarget;

// The main window as the Save/Load window sees it.
class SaveLoadHost {
public:
    virtual ~SaveLoadHost() = default;
    virtual void SetMainWindowEnabled(bool enabled) = 0;
    virtual void BringMainWindowToFront() = 0;
};

// The "Save / Load" window's logic: its three buttons, LoadMusic, and the info label that
// takes the buttons' place while a song is read. It owns the song writer and reader, which
// start-up uses too for a song named on the command line.
class SaveLoadForm : public QObject, public LoadProgress {
    Q_OBJECT
public:
    SaveLoadForm(SaveLoadHost& host, SongTarget& target, MessageBoxes& boxes, FileDialogs& dialogs,
                 LogSink& log, QObject* parent = nullptr);

    SongFile& Songs() { return songFile_; }
    // Asked before the Load dialog opens; false leaves the song as it is.
    void SetBeforeLoad(std::function<bool()> mayLoad) { mayLoad_ = std::move(mayLoad); }

    // SaveLoadButton: the main window is disabled and this window shown, not modal.
    void ShowForm();
    void SaveButtonClick();
    void LoadButtonClick();
    void CancelButtonClick();
    // The window's close box acts as Cancel; while a song is read it does nothing.
    void CloseBoxClick();
    void LoadMusic();
    // Loads path after the question about unsaved changes, as LoadMusic does once its
    // dialog has named a file. False when the file can't be seen (the user has been told).
    bool OpenFile(const QString& path);

    void ShowHideInfoText(bool show) override;
    void SetInfoText(const QString& text) override;
    void Repaint() override;

    bool Visible() const { return visible_; }
    bool InfoTextVisible() const { return infoTextVisible_; }
    bool ButtonsVisible() const { return !infoTextVisible_; }
    const QString& InfoText() const { return infoText_; }

signals:
    void Changed();
    void RepaintRequested();

private:
    // After each button: the main window enabled and in front, this window hidden.
    void Finish();
    bool LoadSeenFile(const QString& path);

    SaveLoadHost& host_;
    MessageBoxes& boxes_;
    FileDialogs& dialogs_;
    LogSink& log_;
    SongFile songFile_;
    bool visible_ = false;
    bool infoTextVisible_ = false;
    QString infoText_;
    std::function<bool()> mayLoad_;
};

} // namespace tq
