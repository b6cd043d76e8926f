#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace tq {

// The songs last opened or saved, newest first, kept in the user's settings so that the
// File menu offers them in the next run too.
class RecentSongs {
public:
    static constexpr int kMost = 8;

    explicit RecentSongs(QSettings& settings) : settings_(settings) {}

    // Puts path first, made absolute; an older entry for it goes, and the oldest past kMost.
    void Add(const QString& path);
    void Remove(const QString& path);
    // The entries whose files still exist; the others are dropped from the settings.
    QStringList Paths();

private:
    QStringList Stored() const;
    void Store(const QStringList& paths);

    QSettings& settings_;
};

} // namespace tq
