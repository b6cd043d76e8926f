#pragma once

#include <QString>

#include <cstdint>

namespace tq {

// The common file dialog's flags, with the values the song-file dialogs are specified in.
enum FileDialogFlag : uint32_t {
    kHideReadOnly = 0x4,
    kPathMustExist = 0x800,
    kFileMustExist = 0x1000,
};

struct FileDialogRequest {
    QString title;
    QString fileName; // initial name
    // Pairs of description and pattern separated by "|":
    // "Songs (*.TQL)|*.TQL|All files (*.*)|*.*".
    QString filter;
    uint32_t flags = 0;
};

// Save and Open file dialogs. Each returns the chosen path, or an empty text when the
// user cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString Save(const FileDialogRequest& request) = 0;
    virtual QString Open(const FileDialogRequest& request) = 0;
};

} // namespace tq
