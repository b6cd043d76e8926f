#include "voice/VoiceInternalWindow.h"

#include "voice/VoiceInternalForm.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <functional>

namespace tq {

namespace {

enum class Kind { Oscillator, Filter, Group, Key };

struct Box {
    QRect rect;
    Kind kind;
};

// A signal line; the last point carries the arrow head unless it joins another line.
struct Line {
    QPolygon points;
    bool arrow = true;
};

QColor Fill(Kind kind) {
    switch (kind) {
    case Kind::Oscillator:
        return {0xfb, 0xdf, 0xbc};
    case Kind::Filter:
        return {0xd3, 0xec, 0xcf};
    case Kind::Group:
        return {0xda, 0xe6, 0xf6};
    case Kind::Key:
        break;
    }
    return {0xf6, 0xf6, 0xf0};
}

QColor Edge(Kind kind) {
    switch (kind) {
    case Kind::Oscillator:
        return {0xc0, 0x70, 0x10};
    case Kind::Filter:
        return {0x3a, 0x85, 0x35};
    case Kind::Group:
        return {0x35, 0x66, 0xa0};
    case Kind::Key:
        break;
    }
    return {0x80, 0x80, 0x80};
}

// The drawing under the controls: boxes first, lines over them; the sliders and texts are
// child widgets on top.
class GraphCanvas final : public QWidget {
public:
    using QWidget::QWidget;
    std::vector<Box> boxes;
    std::vector<Line> lines;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), QColor(0xfc, 0xfc, 0xfa));
        for (const Box& box : boxes) {
            p.setPen(QPen(Edge(box.kind), box.kind == Kind::Group ? 2.0 : 1.5));
            p.setBrush(Fill(box.kind));
            p.drawRoundedRect(QRectF(box.rect).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        }
        const QColor ink(0x30, 0x30, 0x30);
        p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        for (const Line& line : lines) {
            p.drawPolyline(line.points);
            if (!line.arrow || line.points.size() < 2) {
                continue;
            }
            const QPointF tip = line.points.last();
            const QPointF from = line.points.at(line.points.size() - 2);
            QPointF dir = tip - from;
            dir /= std::max(1.0, std::hypot(dir.x(), dir.y()));
            const QPointF side(-dir.y(), dir.x());
            QPainterPath head;
            head.moveTo(tip);
            head.lineTo(tip - dir * 9 + side * 4.5);
            head.lineTo(tip - dir * 9 - side * 4.5);
            head.closeSubpath();
            p.fillPath(head, ink);
        }
    }
};

// A text placed by one point: its left edge, right edge or centre at point.x(), by align,
// and its middle at point.y().
QLabel* Text(QWidget* parent, const QString& text, QPoint point, Qt::Alignment align,
             bool bold = false) {
    auto* label = new QLabel(text, parent);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    label->adjustSize();
    const QSize size = label->size();
    int x = point.x();
    if (align & Qt::AlignRight) {
        x -= size.width();
    } else if (align & Qt::AlignHCenter) {
        x -= size.width() / 2;
    }
    label->move(x, point.y() - size.height() / 2);
    return label;
}

// Box titles sit in the top left corner.
QLabel* Title(QWidget* parent, const QString& text, const QRect& box) {
    return Text(parent, text, box.topLeft() + QPoint(8, 12), Qt::AlignLeft, true);
}

QLabel* CentredTitle(QWidget* parent, const QString& text, const QRect& box) {
    return Text(parent, text, box.center(), Qt::AlignHCenter, true);
}

// Geometry of the drawing. Row one: the voice, row two: the sibilance, Final on the right.
constexpr int kCanvasWidth = 1100;
constexpr int kCanvasHeight = 692;
constexpr int kSliderThickness = 22;

const QRect kSawOsc(12, 70, 84, 40);
const QRect kNoiseOsc(12, 258, 84, 40);
const QRect kSawGroup(124, 16, 118, 174);
const QRect kNoiseGroup(124, 204, 118, 174);
const QRect kVoiceGroup(270, 16, 720, 364);
const QRect kCutoff(290, 110, 120, 170);
constexpr int kJoinX = 256; // where saw and noise meet on their way into the voice group
const QRect kFormant(440, 36, 440, 332);
constexpr int kFormantUnitX = 516;
constexpr int kFormantUnitStep = 74;
const QRect kFormantUnit(0, 74, 64, 180); // x set per unit
constexpr int kFormantSliderTop = 116;
constexpr int kFormantSliderLength = 128;
constexpr int kFormantOutBusY = 62;
constexpr int kFormantInBusY = 272;
const QRect kFinalGroup(996, 290, 84, 56);

const QRect kSybNoiseOsc(8, 551, 134, 44);
const QRect kSybGroup(160, 396, 720, 284);
const QRect kSybMasking(180, 440, 686, 226);
constexpr int kSybUnitX = 196;
constexpr int kSybUnitStep = 122;
const QRect kSybUnit(0, 468, 94, 180); // x set per unit
constexpr int kSybSliderTop = 508;
constexpr int kSybSliderLength = 130;
constexpr int kSybOutY = 418;

const QRect kKey(890, 446, 196, 196);

QRect At(const QRect& unit, int x) {
    return unit.translated(x, 0);
}

} // namespace

VoiceInternalWindow::VoiceInternalWindow(VoiceInternalForm& form, QWidget* parent)
    : QWidget(parent, Qt::Window), form_(form) {
    setObjectName(QStringLiteral("VoiceInternalForm"));
    setWindowTitle(QStringLiteral("Voice Internals"));

    auto* canvas = new GraphCanvas(this);
    canvas->setFixedSize(kCanvasWidth, kCanvasHeight);
    setFixedSize(kCanvasWidth, kCanvasHeight);
    auto& boxes = canvas->boxes;
    auto& lines = canvas->lines;

    // Each slider shows one VoiceSlider; a value change that is not Mirror's is the user's
    // scroll, since Mirror sets values with signals blocked.
    const auto slider = [&](const char* name, const VoiceSlider& state, QRect where,
                            std::function<void(int)> scroll) {
        auto* s = new QSlider(canvas);
        s->setObjectName(QLatin1String(name));
        s->setGeometry(where);
        connect(s, &QSlider::valueChanged, this, std::move(scroll));
        sliders_.push_back({s, &state});
        return s;
    };
    const auto upright = [](int x, int top, int length) {
        return QRect(x, top, kSliderThickness, length);
    };
    // Scale marks beside a vertical slider, at its two ends.
    const auto scale = [&](const QRect& s, const QString& top, const QString& bottom,
                           bool onLeft = false) {
        const int x = onLeft ? s.left() - 4 : s.right() + 5;
        const Qt::Alignment align = onLeft ? Qt::AlignRight : Qt::AlignLeft;
        Text(canvas, top, {x, s.top() + 7}, align);
        Text(canvas, bottom, {x, s.bottom() - 7}, align);
    };

    // Saw and noise: an oscillator each, feeding its own group with its volume slider.
    const auto source = [&](const QRect& osc, const QRect& group, const QString& name,
                            const char* sliderName, const VoiceSlider& state,
                            std::function<void(int)> scroll) {
        boxes.push_back({osc, Kind::Oscillator});
        boxes.push_back({group, Kind::Group});
        CentredTitle(canvas, name, osc);
        Title(canvas, name, group);
        const QRect where = upright(group.left() + 16, group.top() + 42, 116);
        Text(canvas, name + QStringLiteral(" Vol"), {group.left() + 8, group.top() + 30},
             Qt::AlignLeft);
        slider(sliderName, state, where, std::move(scroll));
        scale(where, QStringLiteral("<- 1000"), QStringLiteral("<- 1"));
        lines.push_back({QPolygon(
            {QPoint(osc.right() + 1, osc.center().y()), QPoint(group.left(), osc.center().y())})});
        // Into the voice group's chain, joining the other source on the way.
        const int y = group.top() + 87;
        lines.push_back({QPolygon({QPoint(group.right() + 1, y), QPoint(kJoinX, y),
                                   QPoint(kJoinX, kCutoff.center().y())}),
                         false});
    };
    boxes.push_back({kVoiceGroup, Kind::Group});
    Title(canvas, QStringLiteral("Voice"), kVoiceGroup);
    source(kSawOsc, kSawGroup, QStringLiteral("Saw"), "SawVolSlider", form_.SawVolSlider,
           [this](int v) { form_.SawVolSlider_Scroll(v); });
    source(kNoiseOsc, kNoiseGroup, QStringLiteral("Noise"), "NoiseVolSlider", form_.NoiseVolSlider,
           [this](int v) { form_.NoiseVolSlider_Scroll(v); });
    lines.push_back({QPolygon(
        {QPoint(kJoinX, kCutoff.center().y()), QPoint(kCutoff.left(), kCutoff.center().y())})});

    // The voice group's chain: the cut-off feeds each of the four formant filters.
    boxes.push_back({kCutoff, Kind::Filter});
    Title(canvas, QStringLiteral("Cutoff"), kCutoff);
    const QRect cutoff = upright(kCutoff.left() + 20, kCutoff.top() + 42, 116);
    Text(canvas, QStringLiteral("Hz"), {cutoff.center().x() + 1, kCutoff.top() + 31},
         Qt::AlignHCenter);
    slider("CutoffFreqSlider", form_.CutoffFreqSlider, cutoff,
           [this](int v) { form_.CutoffFreqSlider_Scroll(v); });
    scale(cutoff, QStringLiteral("<- 8000"), QStringLiteral("<- 5000"));

    boxes.push_back({kFormant, Kind::Filter});
    Title(canvas, QStringLiteral("Formant"), kFormant);
    const int busX = kCutoff.right() + 15;
    QPolygon inBus({QPoint(kCutoff.right() + 1, kCutoff.center().y()),
                    QPoint(busX, kCutoff.center().y()), QPoint(busX, kFormantInBusY)});
    for (int i = 0; i < VoiceInternalForm::kFormants; ++i) {
        const QRect unit = At(kFormantUnit, kFormantUnitX + i * kFormantUnitStep);
        boxes.push_back({unit, Kind::Filter});
        Text(canvas, QString::number(i + 1), {unit.center().x() + 1, unit.top() + 12},
             Qt::AlignHCenter, true);
        Text(canvas, QStringLiteral("Vol/Hz"), {unit.center().x() + 1, unit.top() + 29},
             Qt::AlignHCenter);
        const QRect vol = upright(unit.left() + 7, kFormantSliderTop, kFormantSliderLength);
        const QRect freq =
            upright(unit.right() - 6 - kSliderThickness, kFormantSliderTop, kFormantSliderLength);
        const QByteArray n = QByteArray::number(i);
        slider("FormantDSPVolSlider" + n, form_.FormantDSPVolSlider[i], vol,
               [this, i](int v) { form_.FormantDSPVolSlider_Scroll(i, v); });
        slider("FormantDSPFreqSlider" + n, form_.FormantDSPFreqSlider[i], freq,
               [this, i](int v) { form_.FormantDSPFreqSlider_Scroll(i, v); });
        if (i == 0) {
            scale(vol, QStringLiteral("100% ->"), QStringLiteral("60% ->"), true);
        }
        if (i == VoiceInternalForm::kFormants - 1) {
            scale(freq, QStringLiteral("<- 8000 Hz"), QStringLiteral("<- 200 Hz"));
            inBus << QPoint(unit.center().x(), kFormantInBusY);
        }
        lines.push_back({QPolygon({QPoint(unit.center().x(), kFormantInBusY),
                                   QPoint(unit.center().x(), unit.bottom() + 1)})});
        lines.push_back({QPolygon({QPoint(unit.center().x(), unit.top()),
                                   QPoint(unit.center().x(), kFormantOutBusY)}),
                         false});
    }
    lines.push_back({inBus, false});

    // What shapes the formants as a whole: timbre, randomness and the vowel presets.
    const int controlsY = kFormantInBusY + 30;
    Text(canvas, QStringLiteral("Extra 'cuteness'"), {kFormant.left() + 82, controlsY - 13},
         Qt::AlignHCenter);
    auto* timbre = slider("FormantTimbreSlider", form_.FormantTimbreSlider,
                          QRect(kFormant.left() + 12, controlsY, 140, 22),
                          [this](int v) { form_.FormantTimbreSlider_Scroll(v); });
    const QLabel* random = Text(canvas, QStringLiteral("Random variations of formants"),
                                {kFormant.left() + 178, controlsY - 13}, Qt::AlignLeft);
    const QLabel* range =
        Text(canvas, QStringLiteral("Range"), {random->x(), controlsY + 11}, Qt::AlignLeft);
    slider("FormantRandomFreqSlider", form_.FormantRandomFreqSlider,
           QRect(range->geometry().right() + 8, controlsY,
                 random->geometry().right() - range->geometry().right() - 8, 22),
           [this](int v) { form_.FormantRandomFreqSlider_Scroll(v); });
    const char vowels[] = {'A', 'E', 'I', 'O', 'U'};
    for (int i = 0; i < 5; ++i) {
        auto* button = new QPushButton(QString(QLatin1Char(vowels[i])), canvas);
        button->setObjectName(QStringLiteral("Speech%1Button").arg(QLatin1Char(vowels[i])));
        button->setGeometry(timbre->x() + i * 29, controlsY + 32, 26, 26);
        const char vowel = vowels[i];
        connect(button, &QPushButton::clicked, this,
                [this, vowel] { form_.SpeechButton_Click(vowel); });
    }

    // The voice group's own level, on its way out to Final.
    const QRect voiceVol = upright(kFormant.right() + 26, 130, 140);
    Text(canvas, QStringLiteral("Vol"), {voiceVol.center().x() + 1, voiceVol.top() - 14},
         Qt::AlignHCenter);
    slider("VoiceVolSlider", form_.VoiceVolSlider, voiceVol,
           [this](int v) { form_.VoiceVolSlider_Scroll(v); });
    scale(voiceVol, QStringLiteral("<- 400"), QStringLiteral("<- 1"));
    const int finalX = kFinalGroup.center().x();
    lines.push_back(
        {QPolygon({QPoint(kFormantUnitX + kFormantUnit.width() / 2, kFormantOutBusY),
                   QPoint(finalX, kFormantOutBusY), QPoint(finalX, kFinalGroup.top())})});

    boxes.push_back({kFinalGroup, Kind::Group});
    CentredTitle(canvas, QStringLiteral("Final"), kFinalGroup);

    // The sibilance: noise through a chain of four masking filters, never heard.
    boxes.push_back({kSybNoiseOsc, Kind::Oscillator});
    CentredTitle(canvas, QStringLiteral("Sybillance Noise"), kSybNoiseOsc);
    boxes.push_back({kSybGroup, Kind::Group});
    Title(canvas, QStringLiteral("Sybillance"), kSybGroup);
    boxes.push_back({kSybMasking, Kind::Filter});
    Title(canvas, QStringLiteral("Sybillance Masking"), kSybMasking);
    const int chainY = kSybSliderTop + kSybSliderLength / 2;
    int previousRight = kSybNoiseOsc.right() + 1;
    for (int i = 0; i < VoiceInternalForm::kFormants; ++i) {
        const QRect unit = At(kSybUnit, kSybUnitX + i * kSybUnitStep);
        boxes.push_back({unit, Kind::Filter});
        Text(canvas, QString::number(i + 1), {unit.center().x() + 1, unit.top() + 12},
             Qt::AlignHCenter, true);
        Text(canvas, QStringLiteral("Ra/Vol/Hz"), {unit.center().x() + 1, unit.top() + 29},
             Qt::AlignHCenter);
        const QByteArray n = QByteArray::number(i);
        const auto masking = [this, i](std::array<VoiceSlider, VoiceInternalForm::kFormants>& s) {
            return [this, &s, i](int v) { form_.SybMaskingSlider_Scroll(s, i, v); };
        };
        const int left = unit.left() + 8;
        slider("SybMaskingDSPRangeSlider" + n, form_.SybMaskingDSPRangeSlider[i],
               upright(left, kSybSliderTop, kSybSliderLength),
               masking(form_.SybMaskingDSPRangeSlider));
        slider("SybMaskingDSPVolSlider" + n, form_.SybMaskingDSPVolSlider[i],
               upright(left + 28, kSybSliderTop, kSybSliderLength),
               masking(form_.SybMaskingDSPVolSlider));
        slider("SybMaskingDSPFreqSlider" + n, form_.SybMaskingDSPFreqSlider[i],
               upright(left + 56, kSybSliderTop, kSybSliderLength),
               masking(form_.SybMaskingDSPFreqSlider));
        lines.push_back({QPolygon({QPoint(previousRight, chainY), QPoint(unit.left(), chainY)})});
        previousRight = unit.right() + 1;
    }
    const int outX = previousRight + 12;
    lines.push_back(
        {QPolygon({QPoint(previousRight, chainY), QPoint(outX, chainY), QPoint(outX, kSybOutY),
                   QPoint(finalX, kSybOutY), QPoint(finalX, kFinalGroup.bottom() + 1)})});
    const int notesX = outX + 16;
    Text(canvas, QStringLiteral("Freq is 200 Hz -> 7000 Hz"), {notesX, chainY - 40}, Qt::AlignLeft);
    Text(canvas, QStringLiteral("Vol is 0x -> 1x"), {notesX, chainY - 18}, Qt::AlignLeft);
    Text(canvas, QStringLiteral("Range is 0.2 -> 1.5"), {notesX, chainY + 4}, Qt::AlignLeft);

    // The key.
    boxes.push_back({kKey, Kind::Key});
    Text(canvas, QStringLiteral("---- Key ----"), {kKey.center().x() + 1, kKey.top() + 16},
         Qt::AlignHCenter, true);
    const int keyLeft = kKey.left() + 12;
    const int keyText = kKey.left() + 46;
    const QStringList words = {QStringLiteral("Hz"), QStringLiteral("Vol"), QStringLiteral("Ra")};
    const QStringList meanings = {QStringLiteral("= Frequency (Hertz)"), QStringLiteral("= Volume"),
                                  QStringLiteral("= Range")};
    int y = kKey.top() + 40;
    for (int i = 0; i < words.size(); ++i, y += 22) {
        Text(canvas, words[i], {keyLeft, y}, Qt::AlignLeft);
        Text(canvas, meanings[i], {keyText, y}, Qt::AlignLeft);
    }
    const std::pair<Kind, QString> kinds[] = {
        {Kind::Oscillator, QStringLiteral("= DSP as Oscillator")},
        {Kind::Filter, QStringLiteral("= DSP as Filter")},
        {Kind::Group, QStringLiteral("= Channel group")}};
    for (const auto& [kind, meaning] : kinds) {
        boxes.push_back({QRect(keyLeft, y - 8, 26, 17), kind});
        Text(canvas, meaning, {keyText, y}, Qt::AlignLeft);
        y += 24;
    }

    connect(&form_, &VoiceInternalForm::Changed, this, &VoiceInternalWindow::Mirror);
    Mirror();
}

void VoiceInternalWindow::Mirror() {
    for (const Bound& bound : sliders_) {
        const VoiceSlider& state = *bound.state;
        const QSignalBlocker block(bound.slider);
        bound.slider->setOrientation(state.vertical ? Qt::Vertical : Qt::Horizontal);
        bound.slider->setRange(state.minimum, state.maximum);
        bound.slider->setPageStep(state.largeChange);
        bound.slider->setSingleStep(1);
        // A value below the range (the U vowel's volume 55 on 60..100) shows at the minimum;
        // the voice still applies 55.
        bound.slider->setValue(state.value);
    }
    if (form_.IsVisible() != isVisible()) {
        setVisible(form_.IsVisible());
        if (form_.IsVisible()) {
            lower(); // shown behind the main window, out of the way
        }
    }
}

void VoiceInternalWindow::closeEvent(QCloseEvent* event) {
    // The close box does nothing: the window goes with the voice system only.
    event->ignore();
}

} // namespace tq
