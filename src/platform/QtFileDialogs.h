#pragma once

#include "platform/FileDialogs.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace tq {

// Real modal file dialogs, parented to the main window once it exists.
class QtFileDialogs final : public FileDialogs {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    QString Save(const FileDialogRequest& request) override;
    QString Open(const FileDialogRequest& request) override;

    // "desc|pattern|desc|pattern" as Qt name filters. Linux names are case-sensitive, so
    // an upper-case pattern gets its lower-case twin: "*.TQL" finds "song.tql" too.
    static QStringList NameFilters(const QString& filter);

private:
    QString Run(const FileDialogRequest& request, bool save);

    QPointer<QWidget> parent_;
};

} // namespace tq
