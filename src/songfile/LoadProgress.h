#pragma once

#include <QString>

namespace tq {

// Where the song reader shows its progress: the Save/Load window's info label, which
// takes the place of that window's buttons while a song is read.
class LoadProgress {
public:
    virtual ~LoadProgress() = default;
    virtual void ShowHideInfoText(bool show) = 0;
    virtual void SetInfoText(const QString& text) = 0;
    // Paints the window now: the reader holds the event loop until it is done.
    virtual void Repaint() = 0;
};

class NullLoadProgress final : public LoadProgress {
public:
    void ShowHideInfoText(bool) override {}
    void SetInfoText(const QString&) override {}
    void Repaint() override {}
};

} // namespace tq
