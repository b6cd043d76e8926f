#include "editor/view/MusicListView.h"

#include <QEvent>
#include <QHeaderView>

#include <array>

namespace tq {

namespace {

constexpr std::array<int, 4> ColumnUnits = {49, 44, 44, 39};

} // namespace

MusicListView::MusicListView(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(horizontalHeader(), &QHeaderView::sectionCountChanged, this,
            &MusicListView::FitColumns);
}

void MusicListView::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    FitColumns();
}

bool MusicListView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Resize) {
        FitColumns();
    }
    return QTableView::viewportEvent(event);
}

void MusicListView::FitColumns() {
    QHeaderView* header = horizontalHeader();
    const int columns = std::min(header->count(), int(ColumnUnits.size()));
    int totalUnits = 0;
    for (int c = 0; c < columns; ++c) {
        totalUnits += ColumnUnits[std::size_t(c)];
    }
    const int available = viewport()->width();
    int used = 0;
    for (int c = 0; c < columns; ++c) {
        // The last column takes what rounding left over, so the row is filled exactly.
        const int width = c == columns - 1 ? available - used
                                           : available * ColumnUnits[std::size_t(c)] / totalUnits;
        header->resizeSection(c, width);
        used += width;
    }
}

} // namespace tq
