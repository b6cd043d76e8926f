#include "midiin/HeldNotesPanel.h"

#include "core/NoteFrequencies.h"
#include "midiin/HeldNoteWindow.h"
#include "midiout/OctaveOffsetBox.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace tq {

namespace {

constexpr int kColumns = 8;
constexpr int kGap = 3;

QCheckBox* MakeCheck(const QString& name, const QString& text, QWidget* parent) {
    auto* check = new QCheckBox(text, parent);
    check->setObjectName(name);
    return check;
}

// A label whose size never changes, so a new caption repaints it without a relayout.
QLabel* MakeFixedLabel(const QString& name, const QString& widest, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    const QFontMetrics fm = label->fontMetrics();
    label->setFixedSize(fm.horizontalAdvance(widest) + 8, fm.height() + 4);
    return label;
}

QPalette NotePalette(QPalette base, const QColor& background) {
    base.setColor(QPalette::Window, background);
    base.setColor(QPalette::WindowText, Qt::white);
    return base;
}

} // namespace

HeldNotesPanel::HeldNotesPanel(HeldNoteWindow& form, const QString& autoTimeCaption,
                               QWidget* parent)
    : QWidget(parent), form_(form) {
    setObjectName(QStringLiteral("HeldNotesPanel"));
    held_ = NotePalette(palette(), QColor(128, 0, 0));
    playing_ = NotePalette(palette(), QColor(255, 0, 0));

    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    lblHeldCount = MakeFixedLabel(QStringLiteral("lblHeldCount"), QStringLiteral(" (128)"), frame);
    auto* heading = new QHBoxLayout;
    heading->setSpacing(0);
    heading->addWidget(
        new QLabel(QStringLiteral("Notes which are currently being held on:"), frame));
    heading->addWidget(lblHeldCount);
    heading->addStretch();
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addLayout(heading);
    frameLayout->addWidget(MakeGridBox(), 0, Qt::AlignHCenter);

    SaveCPUCheck = MakeCheck(QStringLiteral("SaveCPUCheck"),
                             QStringLiteral("Don't update grid above (saves CPU time)"), this);
    AutoTimeCheck = MakeCheck(QStringLiteral("AutoTimeCheck"), autoTimeCaption, this);
    OnlyOnceCheck =
        MakeCheck(QStringLiteral("OnlyOnceCheck"),
                  QStringLiteral("Only play each note once (don't keep alternating)"), this);
    // Two lines rather than word wrap, which would leave the window's minimum size short.
    auto* channelText = new QLabel(QStringLiteral("Please choose the specific channel(s) which "
                                                  "should be listened to.\nUnselected channels "
                                                  "will be ignored."),
                                   this);

    spnOctaveOffset = new OctaveOffsetBox(this);
    spnOctaveOffset->setToolTip(
        QStringLiteral("0 names note 60 C5, the program's own numbering; +1 names it C4, "
                       "middle C of General MIDI."));
    auto* octaveRow = new QHBoxLayout;
    octaveRow->addWidget(new QLabel(QStringLiteral("Octave offset"), this));
    octaveRow->addWidget(spnOctaveOffset);
    octaveRow->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
    layout->addWidget(SaveCPUCheck);
    layout->addWidget(AutoTimeCheck);
    layout->addWidget(OnlyOnceCheck);
    layout->addLayout(octaveRow);
    layout->addSpacing(6);
    layout->addWidget(channelText);
    layout->addWidget(MakeChannelBox());

    connect(SaveCPUCheck, &QCheckBox::clicked, this,
            [this](bool ticked) { form_.SetSaveCPUCheck(ticked); });
    connect(AutoTimeCheck, &QCheckBox::clicked, this,
            [this](bool ticked) { form_.SetAutoTimeCheck(ticked); });
    connect(OnlyOnceCheck, &QCheckBox::clicked, this,
            [this](bool ticked) { form_.OnlyOnceCheck_Click(ticked); });
    connect(spnOctaveOffset, &QSpinBox::valueChanged, this,
            [this](int offset) { form_.spnOctaveOffset_Change(offset); });
    connect(&form_, &HeldNoteWindow::Changed, this, &HeldNotesPanel::Mirror);
    connect(&form_, &HeldNoteWindow::GridUpdated, this, &HeldNotesPanel::ShowGrid);
    Mirror();
    ShowGrid();
}

QWidget* HeldNotesPanel::MakeGridBox() {
    // No layout in here: labels shown, hidden or recaptioned up to 1000 times a second
    // must never make the window lay itself out again.
    auto* box = new QWidget(this);
    QString widest;
    int widestPx = 0;
    for (int n = 0; n < 12; ++n) {
        const QString name = NoteNumToLetter(n) + QStringLiteral("10");
        if (const int px = box->fontMetrics().horizontalAdvance(name); px > widestPx) {
            widest = name;
            widestPx = px;
        }
    }
    for (int i = 0; i < HeldNoteGrid::kLabels; ++i) {
        QLabel* label = MakeFixedLabel(QStringLiteral("lblOnNotes%1").arg(i), widest, box);
        label->setFixedWidth(std::max(label->width(), 40));
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        label->setPalette(held_);
        label->move((i % kColumns) * (label->width() + kGap),
                    (i / kColumns) * (label->height() + kGap));
        label->hide();
        lblOnNotes[static_cast<size_t>(i)] = label;
    }
    const QSize cell = lblOnNotes[0]->size() + QSize(kGap, kGap);
    const int rows = HeldNoteGrid::kLabels / kColumns;
    lblMoreOnNotes =
        MakeFixedLabel(QStringLiteral("lblMoreOnNotes"), QStringLiteral("(96 more)"), box);
    lblMoreOnNotes->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblMoreOnNotes->move(kColumns * cell.width() - kGap - lblMoreOnNotes->width(),
                         rows * cell.height());
    lblMoreOnNotes->hide();
    box->setFixedSize(kColumns * cell.width() - kGap,
                      rows * cell.height() + lblMoreOnNotes->height());
    return box;
}

QWidget* HeldNotesPanel::MakeChannelBox() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < HeldNoteWindow::kChannels; ++i) {
        QCheckBox* check =
            MakeCheck(QStringLiteral("ListenChannelCheck%1").arg(i), QString::number(i + 1), box);
        grid->addWidget(check, i / kColumns, i % kColumns);
        connect(check, &QCheckBox::clicked, this,
                [this, i](bool ticked) { form_.ListenChannelCheck_Click(i, ticked); });
        ListenChannelCheck[static_cast<size_t>(i)] = check;
    }
    return box;
}

void HeldNotesPanel::Mirror() {
    SaveCPUCheck->setChecked(form_.SaveCPUCheck());
    AutoTimeCheck->setChecked(form_.AutoTimeCheck());
    OnlyOnceCheck->setChecked(form_.OnlyPlayNoteOnce());
    {
        const QSignalBlocker block(spnOctaveOffset);
        spnOctaveOffset->setValue(form_.OctaveOffset());
    }
    for (int i = 0; i < HeldNoteWindow::kChannels; ++i) {
        ListenChannelCheck[static_cast<size_t>(i)]->setChecked(form_.ListenChannelCheck(i));
    }
}

void HeldNotesPanel::ShowGrid() {
    const HeldNoteGrid& grid = form_.Grid();
    for (size_t i = 0; i < shown_.size(); ++i) {
        Shown& shown = shown_[i];
        QLabel* label = lblOnNotes[i];
        const bool visible = grid.visible[i];
        if (visible && shown.caption != grid.captions[i]) {
            shown.caption = grid.captions[i];
            label->setText(shown.caption);
        }
        if (visible && shown.playing != grid.playing[i]) {
            shown.playing = grid.playing[i];
            label->setPalette(shown.playing ? playing_ : held_);
        }
        if (shown.visible != visible) {
            shown.visible = visible;
            label->setVisible(visible);
        }
    }
    if (grid.moreVisible) {
        lblMoreOnNotes->setText(grid.more);
    }
    if (lblMoreOnNotes->isHidden() == grid.moreVisible) {
        lblMoreOnNotes->setVisible(grid.moreVisible);
    }
    lblHeldCount->setText(grid.heldCount);
}

} // namespace tq
