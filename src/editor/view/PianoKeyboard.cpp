#include "editor/view/PianoKeyboard.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tq {

namespace {

// Key geometry in the original layout units: white keys 375 wide and 360 apart (so
// neighbours share a border), black keys over the gaps.
constexpr double WhitePitch = 360;
constexpr double WhiteWidth = 375;
constexpr double WhiteHeight = 1335;
constexpr double BlackWidth = 255;
constexpr double BlackHeight = 735;
constexpr int WhitesPerGroup = 7;
constexpr int WhiteCount = WhitesPerGroup * PianoKeyboard::GroupCount;
constexpr double TotalWidth = (WhiteCount - 1) * WhitePitch + WhiteWidth;

// Per note number in the group: the white key's place in the group, or for a black key the
// place of the white key on its left.
constexpr std::array<int, 12> WhitePlace = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
constexpr std::array<bool, 12> IsBlackNote = {false, true,  false, true,  false, false,
                                              true,  false, true,  false, true,  false};
constexpr std::array<const char*, 12> NoteCaption = {"C", "",  "D", "",  "E", "F",
                                                     "",  "G", "",  "A", "",  "B"};

struct GroupColours {
    QColor light;
    QColor dark;
};

const std::array<GroupColours, PianoKeyboard::GroupCount>& Colours() {
    static const std::array<GroupColours, PianoKeyboard::GroupCount> colours = {{
        {QColor(255, 224, 192), QColor(128, 64, 0)}, // orange
        {QColor(192, 192, 255), QColor(0, 0, 128)},  // blue
        {QColor(192, 255, 192), QColor(0, 128, 0)},  // green
    }};
    return colours;
}

QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

const QString KeyToolTip = QStringLiteral(
    "Click any of these keys on this keyboard to hear the note / add it to the list of music "
    "(depending on the options on the left of this window)");
const QString OctLabelToolTip =
    QStringLiteral("Says what octave (multiple of pitch) the notes will be made in when you "
                   "click a key in the coloured group below");

} // namespace

PianoKeyButton::PianoKeyButton(int index, QWidget* parent)
    : QAbstractButton(parent), index_(index), black_(IsBlackNote[std::size_t(index % 12)]),
      light_(Colours()[std::size_t(index / 12)].light),
      dark_(Colours()[std::size_t(index / 12)].dark) {
    setObjectName(QStringLiteral("PianoKey%1").arg(index));
    setText(QString::fromLatin1(NoteCaption[std::size_t(index % 12)]));
    setToolTip(KeyToolTip);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
}

void PianoKeyButton::keyPressEvent(QKeyEvent* event) {
    emit KeyDown(event->key(), event->modifiers());
    // Ctrl+Up/Down step the octave and nothing more: passed on, they would move the focus
    // off this key.
    const bool octaveStep = (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier &&
                            (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down);
    if (octaveStep) {
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

QColor PianoKeyButton::FaceColour() const {
    QColor face = black_ ? dark_ : light_;
    if (!isEnabled()) {
        return Mix(face, palette().color(QPalette::Disabled, QPalette::Button), 0.6);
    }
    if (isDown()) {
        return face.darker(black_ ? 130 : 118);
    }
    if (underMouse()) {
        return black_ ? face.lighter(125) : Mix(face, Qt::white, 0.35);
    }
    return face;
}

void PianoKeyButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (black_) {
        PaintBlack(painter, FaceColour());
    } else {
        PaintWhite(painter, FaceColour());
    }
}

void PianoKeyButton::PaintWhite(QPainter& painter, QColor face) const {
    const QRectF r = QRectF(rect()).adjusted(0.5, 0, -0.5, -0.5);
    const double radius = std::min(5.0, r.width() / 6);
    // Only the lower corners are round: the upper ones are pushed out of the widget.
    QPainterPath outline;
    outline.addRoundedRect(r.adjusted(0, -radius, 0, 0), radius, radius);

    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, face.darker(isDown() ? 135 : 115));
    fill.setColorAt(isDown() ? 0.12 : 0.06, face);
    fill.setColorAt(0.92, face);
    fill.setColorAt(1, isDown() ? face : face.darker(108));
    painter.setPen(QPen(QColor(70, 70, 70), 1));
    painter.setBrush(fill);
    painter.drawPath(outline);

    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::clamp(int(r.width() * 0.42), 8, 15));
    painter.setFont(font);
    const int captionHeight = QFontMetrics(font).height();
    const int bottomPad = std::max(3, int(r.height() * 0.04)) - (isDown() ? 1 : 0);
    const QRectF caption(r.left(), r.bottom() - bottomPad - captionHeight, r.width(),
                         captionHeight);
    // A greyed key keeps its letter legible, in its group's colour toned down: the grey of
    // disabled text alone vanishes into the paler faces.
    painter.setPen(isEnabled() ? dark_
                               : Mix(dark_, palette().color(QPalette::Disabled, QPalette::Text), 0.45));
    painter.drawText(caption, Qt::AlignCenter, text());

    if (hasFocus()) {
        QPen focus(dark_, 1.5);
        painter.setPen(focus);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(caption.adjusted(3, -2, -3, 2), 3, 3);
    }
}

void PianoKeyButton::PaintBlack(QPainter& painter, QColor face) const {
    const QRectF r = QRectF(rect()).adjusted(0.5, 0, -0.5, -0.5);
    const double radius = std::min(3.0, r.width() / 6);
    QPainterPath outline;
    outline.addRoundedRect(r.adjusted(0, -radius, 0, 0), radius, radius);

    QLinearGradient body(r.topLeft(), r.topRight());
    body.setColorAt(0, face.lighter(140));
    body.setColorAt(0.25, face);
    body.setColorAt(1, face.darker(130));
    painter.setPen(QPen(face.darker(250), 1));
    painter.setBrush(body);
    painter.drawPath(outline);

    // The sloped front of the key: shorter when the key is down.
    const double front = r.height() * (isDown() ? 0.03 : 0.09);
    QRectF frontRect(r.left() + 2, r.bottom() - front - 1, r.width() - 4, front);
    QLinearGradient shine(frontRect.topLeft(), frontRect.bottomLeft());
    shine.setColorAt(0, Mix(face, Qt::white, 0.3));
    shine.setColorAt(1, Mix(face, Qt::white, 0.1));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shine);
    painter.drawRoundedRect(frontRect, radius / 2, radius / 2);

    if (hasFocus()) {
        painter.setPen(QPen(light_, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(r.adjusted(2, 2, -2, -front - 3), radius, radius);
    }
}

PianoKeyboard::PianoKeyboard(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PianoKeyboard"));
    for (int group = 0; group < GroupCount; ++group) {
        auto* label = new QLabel(this);
        const GroupColours& c = Colours()[std::size_t(group)];
        label->setObjectName(QStringLiteral("OctLabel%1").arg(group));
        label->setAlignment(Qt::AlignCenter);
        label->setToolTip(OctLabelToolTip);
        label->setStyleSheet(
            QStringLiteral("QLabel { background: %1; color: %2; border: 1px solid %2;"
                           " border-top-left-radius: 6px; border-top-right-radius: 6px;"
                           " border-bottom: none; font-weight: bold; }")
                .arg(c.light.name(), c.dark.name()));
        octLabels_[std::size_t(group)] = label;
    }
    SetOctLabelCaption(0, QStringLiteral("3"));
    SetOctLabelCaption(1, QStringLiteral("4"));
    SetOctLabelCaption(2, QStringLiteral("5"));

    for (int i = 0; i < KeyCount; ++i) {
        auto* key = new PianoKeyButton(i, this);
        connect(key, &QAbstractButton::clicked, this, [this, i] { emit KeyClicked(i); });
        connect(
            key, &PianoKeyButton::KeyDown, this,
            [this, i](int keyCode, Qt::KeyboardModifiers mods) { emit KeyDown(i, keyCode, mods); });
        keys_[std::size_t(i)] = key;
    }
    // Black keys lie over the white ones, so they get the clicks where both overlap.
    for (PianoKeyButton* key : keys_) {
        if (key->IsBlack()) {
            key->raise();
        }
    }
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QAbstractButton* PianoKeyboard::Key(int index) const {
    return keys_.at(std::size_t(index));
}

QLabel* PianoKeyboard::OctLabel(int group) const {
    return octLabels_.at(std::size_t(group));
}

void PianoKeyboard::SetOctLabelCaption(int group, const QString& caption) {
    OctLabel(group)->setText(caption);
}

void PianoKeyboard::SetKeysEnabled(bool enabled) {
    for (PianoKeyButton* key : keys_) {
        key->setEnabled(enabled);
    }
}

int PianoKeyboard::LabelRowHeight() const {
    QFont bold = font();
    bold.setBold(true);
    return QFontMetrics(bold).height() + 8;
}

QSize PianoKeyboard::sizeHint() const {
    return {WhiteCount * 44, LabelRowHeight() + 210};
}

QSize PianoKeyboard::minimumSizeHint() const {
    return {WhiteCount * 20, LabelRowHeight() + 90};
}

void PianoKeyboard::resizeEvent(QResizeEvent*) {
    PlaceKeys();
}

void PianoKeyboard::PlaceKeys() {
    const int top = LabelRowHeight();
    const int keysHeight = height() - top;
    const double scale = width() / TotalWidth;
    const auto x = [scale](double units) { return int(std::lround(units * scale)); };
    // Each white key reaches one pixel into the next so that neighbours share a border line.
    const auto whiteLeft = [&](int place) { return x(place * WhitePitch); };
    const auto whiteRight = [&](int place) {
        return place == WhiteCount - 1 ? width() : x((place + 1) * WhitePitch) + 1;
    };

    for (int i = 0; i < KeyCount; ++i) {
        const int place = (i / 12) * WhitesPerGroup + WhitePlace[std::size_t(i % 12)];
        PianoKeyButton* key = keys_[std::size_t(i)];
        if (key->IsBlack()) {
            const double centre = (place + 1) * WhitePitch + (WhiteWidth - WhitePitch) / 2;
            const int left = x(centre - BlackWidth / 2);
            key->setGeometry(left, top, x(centre + BlackWidth / 2) - left,
                             int(std::lround(keysHeight * BlackHeight / WhiteHeight)));
        } else {
            key->setGeometry(whiteLeft(place), top, whiteRight(place) - whiteLeft(place),
                             keysHeight);
        }
    }
    for (int group = 0; group < GroupCount; ++group) {
        const int left = whiteLeft(group * WhitesPerGroup) + (group == 0 ? 0 : 1);
        const int right = whiteRight((group + 1) * WhitesPerGroup - 1) - 1;
        octLabels_[std::size_t(group)]->setGeometry(left, 0, right - left, top);
    }
}

} // namespace tq
