#pragma once

#include <QTableView>

namespace tq {

// The music list: one row per line, four columns whose widths keep the proportions
// 49:44:44:39 of the viewport. Rows have one fixed height so that a song of a hundred
// thousand lines scrolls without measuring any row.
class MusicListView final : public QTableView {
    Q_OBJECT
public:
    explicit MusicListView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

protected:
    bool viewportEvent(QEvent* event) override;

private:
    void FitColumns();
};

} // namespace tq
