#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QWidget>

#include <array>

class QLabel;

namespace tq {

// One key of the on-screen keyboard. A real button, so it takes focus, can be disabled and
// clicked by tests; it paints itself as a piano key in its group's colours.
class PianoKeyButton final : public QAbstractButton {
    Q_OBJECT
public:
    PianoKeyButton(int index, QWidget* parent = nullptr);

    int Index() const { return index_; }
    bool IsBlack() const { return black_; }

signals:
    void KeyDown(int keyCode, Qt::KeyboardModifiers mods);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void PaintWhite(QPainter& painter, QColor face) const;
    void PaintBlack(QPainter& painter, QColor face) const;
    QColor FaceColour() const;

    int index_;
    bool black_;
    QColor light_;
    QColor dark_;
};

// The 36 keys PianoKey(0..35) in three coloured groups of twelve, with the octave labels
// OctLabel(0..2) above the groups. Key geometry keeps the proportions of the original
// layout units and stretches to fill the widget.
class PianoKeyboard final : public QWidget {
    Q_OBJECT
public:
    static constexpr int KeyCount = 36;
    static constexpr int GroupCount = 3;

    explicit PianoKeyboard(QWidget* parent = nullptr);

    QAbstractButton* Key(int index) const;
    QLabel* OctLabel(int group) const;
    void SetOctLabelCaption(int group, const QString& caption);
    void SetKeysEnabled(bool enabled);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void KeyClicked(int index);
    // A key press while a key has focus (Ctrl+Up/Down steps the octave).
    void KeyDown(int index, int keyCode, Qt::KeyboardModifiers mods);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceKeys();
    int LabelRowHeight() const;

    std::array<PianoKeyButton*, KeyCount> keys_{};
    std::array<QLabel*, GroupCount> octLabels_{};
};

} // namespace tq
