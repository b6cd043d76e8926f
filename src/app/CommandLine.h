#pragma once

// What the command-line programs (tonquill-play, tonquill-convert, mendalot) share in how they
// read their arguments and say what is wrong with them:
// - a mistake is one line, "PROGRAM: what is wrong", naming the option and the value, then
//   "Try 'PROGRAM --help'.", and exit code 2;
// - word values are taken in any case;
// - numbers are finite, and one outside its range is refused with the range.
// The Read functions give an empty text when the value is good, and otherwise the line that
// says why it is not (without the program's name). Options are named without their dashes.

#include <QString>
#include <QStringList>

class QCommandLineParser;

namespace tq::cli {

constexpr int kBadArguments = 2;

// Prints the mistake and where help is, as above; gives kBadArguments.
int Refuse(const QString& program, const QString& problem);

// Parses arguments (the program's path first). --help prints the help and exits with 0;
// an unknown option or a missing value is refused, and false returned.
bool Parse(QCommandLineParser& parser, const QStringList& arguments, const QString& program);

// A whole number from first to last.
QString ReadInteger(const QString& option, const QString& text, int first, int last, int* value);
// A finite decimal number from first to last ("nan" and "inf" are no numbers).
QString ReadDecimal(const QString& option, const QString& text, double first, double last,
                    double* value);
// A whole number from first to last, or the word (in any case), which gives wordValue.
QString ReadIntegerOrWord(const QString& option, const QString& text, int first, int last,
                          const QString& word, int wordValue, int* value);
// One of words, in any case; *word is set to it as words has it.
QString ReadWord(const QString& option, const QString& text, const QStringList& words,
                 QString* word);

// "--option needs --other" (need is written as it stands, as "--other" or "a MIDI file").
QString Needs(const QString& option, const QString& need);
// "--option does nothing with --other".
QString DoesNothingWith(const QString& option, const QString& other);

} // namespace tq::cli
