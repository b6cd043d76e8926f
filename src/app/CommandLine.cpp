#include "app/CommandLine.h"

#include <QCommandLineParser>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace tq::cli {

namespace {

QString Dashed(const QString& option) {
    return option.size() == 1 ? QLatin1Char('-') + option : QStringLiteral("--") + option;
}

// "from 1 to 16", or "of 1 or more" when there is no last.
QString Range(double first, double last) {
    if (last >= std::numeric_limits<int>::max()) {
        return QStringLiteral("of %1 or more").arg(first);
    }
    return QStringLiteral("from %1 to %2").arg(first).arg(last);
}

} // namespace

int Refuse(const QString& program, const QString& problem) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", qPrintable(program), qPrintable(problem),
                 qPrintable(program));
    return kBadArguments;
}

bool Parse(QCommandLineParser& parser, const QStringList& arguments, const QString& program) {
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        // Qt's own text for the rest: "Missing value after '--passes'."
        QString problem = unknown.isEmpty()
                              ? parser.errorText()
                              : QStringLiteral("unknown option '%1'").arg(Dashed(unknown[0]));
        if (problem.endsWith(QLatin1Char('.'))) {
            problem.chop(1);
        }
        if (!problem.isEmpty()) {
            problem[0] = problem[0].toLower();
        }
        Refuse(program, problem);
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::printf("%s", qPrintable(parser.helpText()));
        std::exit(0);
    }
    return true;
}

QString ReadInteger(const QString& option, const QString& text, int first, int last, int* value) {
    bool isNumber = false;
    const int read = text.trimmed().toInt(&isNumber);
    if (!isNumber || read < first || read > last) {
        return QStringLiteral("%1: '%2' is not a whole number %3")
            .arg(Dashed(option), text, Range(first, last));
    }
    *value = read;
    return QString();
}

QString ReadIntegerOrWord(const QString& option, const QString& text, int first, int last,
                          const QString& word, int wordValue, int* value) {
    if (text.trimmed().compare(word, Qt::CaseInsensitive) == 0) {
        *value = wordValue;
        return QString();
    }
    const QString problem = ReadInteger(option, text, first, last, value);
    return problem.isEmpty() ? problem : problem + QStringLiteral(", or ") + word;
}

QString ReadDecimal(const QString& option, const QString& text, double first, double last,
                    double* value) {
    bool isNumber = false;
    const double read = text.trimmed().toDouble(&isNumber);
    if (!isNumber || !std::isfinite(read) || read < first || read > last) {
        return QStringLiteral("%1: '%2' is not a number %3")
            .arg(Dashed(option), text, Range(first, last));
    }
    *value = read;
    return QString();
}

QString ReadWord(const QString& option, const QString& text, const QStringList& words,
                 QString* word) {
    for (const QString& w : words) {
        if (text.trimmed().compare(w, Qt::CaseInsensitive) == 0) {
            *word = w;
            return QString();
        }
    }
    const QString choices = words.size() > 1
                                ? words.mid(0, words.size() - 1).join(QStringLiteral(", ")) +
                                      QStringLiteral(" or ") + words.back()
                                : words.join(QString());
    return QStringLiteral("%1: '%2' is not %3").arg(Dashed(option), text, choices);
}

QString Needs(const QString& option, const QString& need) {
    return QStringLiteral("%1 needs %2").arg(Dashed(option), need);
}

QString DoesNothingWith(const QString& option, const QString& other) {
    return QStringLiteral("%1 does nothing with %2").arg(Dashed(option), other);
}

} // namespace tq::cli
