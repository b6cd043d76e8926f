#include "playback/PlayPositionDisplay.h"

#include "core/Decimal4.h"
#include "core/LogSink.h"
#include "core/NoteLengths.h"
#include "playback/PlayerState.h"
#include "playback/SongLines.h"

#include <cmath>
#include <cstdlib>

namespace tq {

namespace {

// A four-place value written as "00.00": at least two whole digits, two places, a half
// rounded away from zero.
QString TwoPlaces(Decimal4 value) {
    const int64_t hundredths = (std::llabs(value.Raw()) + 50) / 100;
    const QString text = NumPad(hundredths / 100, QLatin1Char('0'), 2) + QLatin1Char('.') +
                         NumPad(hundredths % 100, QLatin1Char('0'), 2);
    return value.Raw() < 0 ? QLatin1Char('-') + text : text;
}

} // namespace

double PlayPositionDisplay::WorkOutPlayPos(int& currentLine) {
    log_.LogIndentInc(QStringLiteral("WorkOutPlayPos(") + QString::number(currentLine) +
                      QStringLiteral(") - START"));
    if (currentLine < 1) {
        log_.LogText(QStringLiteral("'CurrentLine < 1' section"));
        if (lines_.LineCount() == 0) {
            log_.LogText(QStringLiteral("'Item count = 0' section"));
            ShowEmptyList();
            log_.LogIndentDec(QStringLiteral("WorkOutPlayPos() - END"));
            return -1;
        }
        log_.LogText(QStringLiteral("'Item count NOT = 0' section"));
        currentLine = lines_.LineCount() + 1;
    }
    log_.LogText(QStringLiteral("Calculating play position by summing all line lengths"));
    const double position = sums_.SumOfFirst(lines_, currentLine - 1);
    for (int i = sums_.FixesInFirst(currentLine - 1); i > 0; --i) {
        log_.LogText(QStringLiteral("FixRoundingErrors() fixed an error."));
    }
    log_.LogIndentDec(QStringLiteral("WorkOutPlayPos() - END"));
    return position;
}

// Nothing of an earlier song stays: its beat in the bar and its error mark go too.
void PlayPositionDisplay::ShowEmptyList() {
    labels_.PlayBar = QStringLiteral("001");
    labels_.PlayPos = QStringLiteral("001");
    labels_.PlaySig = PositionLabels{}.PlaySig; // as at start-up
    labels_.PlayPosError = false;
    Publish();
}

void PlayPositionDisplay::ShowPlayPos(double position) {
    const Decimal4 p = Decimal4::FromDouble(position);
    if (lines_.LineCount() == 0) {
        ShowEmptyList();
        return;
    }
    const int64_t timeSig = settings_.TimeSig > 0 ? settings_.TimeSig : 1;
    const Decimal4 beats = p * Decimal4::FromInt(4);
    const int64_t bar = beats.Raw() / (timeSig * 10000);
    const Decimal4 inBarWholes = p - Decimal4::FromRatio(bar * timeSig, 4) + Decimal4::FromInt(1);
    const Decimal4 inBarBeats = beats - Decimal4::FromInt(bar * timeSig) + Decimal4::FromInt(1);
    const int64_t wholes = inBarWholes.Truncated();

    labels_.PlayBar = NumPad(bar + 1, QLatin1Char('0'), 3);
    labels_.PlayPos =
        NumPad(wholes, QLatin1Char('0'), 2) + QLatin1Char(' ') +
        ConvertToFraction(static_cast<float>((inBarWholes - Decimal4::FromInt(wholes)).ToDouble()),
                          log_);
    labels_.PlayPosError = labels_.PlayPos.contains(QLatin1String("(ERR)"));
    labels_.PlaySig = TwoPlaces(inBarBeats);
    Publish();
}

void PlayPositionDisplay::Publish() {
    if (changed_) {
        changed_();
    }
}

} // namespace tq
