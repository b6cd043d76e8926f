// The command-line programs as one tool: how they take their arguments, say what is wrong
// with them, and where their options are written down.
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "MidiFileBytes.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

const QString kPlay = QStringLiteral(TQ_PLAYER);
const QString kMendalot = QStringLiteral(TQ_MENDALOT);
const QString kConvert = QStringLiteral(TQ_CONVERT);
const QString kSource = QStringLiteral(TQ_SOURCE);

struct Outcome {
    int exitCode;
    QString out;
    QString err;
};

Outcome Start(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

TEST(CommandLine, AMistakeIsOneLineNamingItThenWhereTheHelpIs) {
    using namespace smf;
    QTemporaryDir dir;
    const QString song = Written(dir, "short.tql",
                                 "Tonquill by Vellomar file format\nRevision 148\nBPM 600\n"
                                 "MUSICLISTSTART\n1/16 C4 - -\n");
    const QString mid =
        Written(dir, "one.mid",
                File(0, 480, {Ev(0, {0x90, 60, 90}) + Ev(48, {0x80, 60, 0}) + EndOfTrack()}));
    const QString wav = dir.filePath("out.wav");
    const QString tunes = Written(dir, "tunes.rtttl", "One:d=4,o=5,b=90:c,e\n");
    struct Case {
        QString program;
        QStringList args;
        QString line; // empty: the arguments are good
    };
    const Case cases[] = {
        // Values: words in any case, finite numbers, ranges named.
        {kPlay, {song, "--passes", "zero"}, "--passes: 'zero' is not a whole number of 1 or more"},
        {kPlay,
         {song, "--speaker", "loud"},
         "--speaker: 'loud' is not auto, evdev, console, emulated or none"},
        {kPlay, {song, "--beat", "even"}, "--beat: 'even' is not all or odd"},
        {kPlay,
         {song, "--portamento", "--glide", "nan"},
         "--glide: 'nan' is not a number from 0.005 to 1.8"},
        {kPlay,
         {song, "--portamento", "--glide", "-inf"},
         "--glide: '-inf' is not a number from 0.005 to 1.8"},
        {kPlay,
         {song, "--portamento", "--sound-length", "20"},
         "--sound-length: '20' is not a whole number from 50 to 1000, or always"},
        {kPlay,
         {song, "--midi-out", "0", "--midi-channel", "17"},
         "--midi-channel: '17' is not a whole number from 1 to 16"},
        {kPlay,
         {"--midi-in", "0", "--midi-octave", "-3"},
         "--midi-octave: '-3' is not a whole number from -2 to 2"},
        {kPlay,
         {"--midi-in", "0", "--alternate-time", "10"},
         "--alternate-time: '10' is not a whole number from 15 to 2000"},
        {kPlay,
         {"--midi-in", "0", "--seconds", "0"},
         "--seconds: '0' is not a whole number of 1 or more"},
        {kPlay,
         {"--midi-in", "0", "--channels", "1,17"},
         "--channels: '17' is not a channel from 1 to 16"},
        {kPlay, {song, "--voice", "--vowel", "Y"}, "--vowel: 'Y' is not A, E, I, O or U"},
        {kPlay,
         {song, "--start-at", "10:75:00"},
         "--start-at: '10:75:00' is not a time of day HH:MM:SS"},
        {kPlay, {song, "--speaker", "NONE"}, ""},
        {kPlay,
         {song, "--wav", wav, "--beat", "ODD", "--portamento", "--sound-length", "Always",
          "--voice", "--vowel", "o"},
         ""},
        // Options that would do nothing with the others given.
        {kPlay, {song, "--midi-channel", "3"}, "--midi-channel needs --midi-out"},
        {kPlay, {song, "--midi-instrument", "5"}, "--midi-instrument needs --midi-out"},
        {kPlay,
         {song, "--midi-octave", "1"},
         "--midi-octave needs --midi-out, --midi-in or a MIDI file"},
        {kPlay, {song, "--sound-length", "always"}, "--sound-length needs --portamento"},
        {kPlay, {song, "--glide", "1"}, "--glide needs --portamento"},
        {kPlay, {song, "--motor-octave", "3"}, "--motor-octave needs --motor"},
        {kPlay, {song, "--from-line", "3"}, "--from-line needs --start-at"},
        {kPlay, {song, "--start-in-delay"}, "--start-in-delay needs --start-at"},
        {kPlay, {song, "--vowel", "E"}, "--vowel needs --voice"},
        {kPlay, {song, "--once"}, "--once needs a MIDI file or --midi-in"},
        {kPlay, {song, "--seconds", "5"}, "--seconds needs a MIDI file or --midi-in"},
        {kPlay, {song, "--loop"}, "--loop needs a MIDI file"},
        {kPlay, {mid, "--passes", "2"}, "--passes does nothing with a MIDI file"},
        {kPlay, {"--midi-in", "0", "--beat", "odd"}, "--beat does nothing with --midi-in"},
        {kPlay,
         {song, "--tune", "2"},
         QString("--tune picks a tune of ringtone text: '%1' is none").arg(song)},
        {kPlay, {song, "--wav", wav, "--speaker", "none"}, "--speaker does nothing with --wav"},
        {kPlay,
         {song, "--wav", wav, "--midi-out", "0"},
         "--midi-out plays in real time and cannot go with --wav"},
        {kPlay,
         {mid, "--loop", "--wav", wav},
         "--loop with --wav needs --seconds, or the file never ends"},
        {kPlay, {"--list-midi", "--seconds", "3"}, "--seconds does nothing with --list-midi"},
        {kPlay, {mid, "--alternate-time", "40", "--wav", wav}, ""},
        // What the parser itself finds.
        {kPlay, {}, "no song file given"},
        {kPlay, {song, "--bogus"}, "unknown option '--bogus'"},
        {kPlay, {song, "--passes"}, "missing value after '--passes'"},
        {kConvert, {"--fast", song, wav}, "unknown option '--fast'"},
        {kConvert, {song}, QString("no OUT given after '%1'").arg(song)},
        {kConvert,
         {"--tune", "2", song, wav},
         QString("--tune needs ringtone text (.rtttl, .rtx or .txt) as IN, not '%1'").arg(song)},
        {kConvert, {"--list", "--tune", "2", tunes}, "--tune does nothing with --list"},
        {kConvert, {"--list", tunes, wav}, QString("'%1' does nothing with --list").arg(wav)},
        {kConvert,
         {"--tune", "3", tunes, mid},
         QString("--tune: '3' names no tune of %1 (it has 1 tune; --list names them)").arg(tunes)},
        {kConvert, {"--tune", "ONE", tunes, dir.filePath("one.tql")}, ""},
        {kConvert,
         {"--beat", "odd", song, dir.filePath("o.mid")},
         QString("--beat needs OUT .wav, .sh or .ino, not '%1'").arg(dir.filePath("o.mid"))},
        {kConvert, {"--sound-length", "always", song, wav}, "--sound-length needs --portamento"},
        {kConvert,
         {"--portamento", "--sound-length", "20", song, wav},
         "--sound-length: '20' is not a whole number from 50 to 1000, or always"},
        {kConvert, {"--beat", "Odd", "--portamento", "--sound-length", "ALWAYS", song, wav}, ""},
        {kMendalot, {"--bogus"}, "unknown option '--bogus'"},
        {kMendalot, {"song.tql"}, "unexpected argument 'song.tql'"},
    };
    for (const Case& c : cases) {
        const QString name = QFileInfo(c.program).fileName();
        const Outcome r = Start(c.program, c.args);
        const std::string what = (name + ' ' + c.args.join(' ')).toStdString();
        if (c.line.isEmpty()) {
            EXPECT_EQ(r.exitCode, 0) << what << "\n" << r.err.toStdString();
            continue;
        }
        EXPECT_EQ(r.exitCode, 2) << what;
        EXPECT_EQ(r.err, QString("%1: %2\nTry '%1 --help'.\n").arg(name, c.line)) << what;
        EXPECT_TRUE(r.out.isEmpty()) << what;
    }
}

// The long options of a help text, or of the headings of a manual page (".TP" and then
// ".B \-\-name ..."), or of a usage block.
QSet<QString> Options(const QString& text, const QString& pattern) {
    QSet<QString> options;
    const QRegularExpression re(pattern, QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch& m : re.globalMatch(text)) {
        options.insert(m.captured(1));
    }
    return options;
}

QString Read(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(f.readAll());
}

// The README's usage block of a program: its first ``` block that starts with its name.
QString UsageBlock(const QString& readme, const QString& program) {
    const QRegularExpression re("```\\n(" + QRegularExpression::escape(program) + " [^`]*)```");
    return re.match(readme).captured(1);
}

TEST(CommandLine, EveryOptionInTheHelpIsInTheManualPageAndTheReadme) {
    const QString helpOption = QStringLiteral("^  (?:-\\w, )?--([a-z][a-z-]*)");
    const QString manHeading =
        QStringLiteral("^\\.TP\\n\\.B[IR]? (?:\\\\-\\w \", \" )?\\\\-\\\\-([a-z][a-z\\\\-]*)");
    const QString readme = Read(kSource + "/README.md");
    for (const QString& program : {kPlay, kMendalot, kConvert}) {
        const QString name = QFileInfo(program).fileName();
        const Outcome help = Start(program, {"--help"});
        ASSERT_EQ(help.exitCode, 0) << name.toStdString();
        const QSet<QString> options = Options(help.out, helpOption);
        ASSERT_GT(options.size(), 1) << name.toStdString();
        QSet<QString> documented;
        for (const QString& option :
             Options(Read(kSource + "/data/man/" + name + ".1"), manHeading)) {
            documented.insert(QString(option).remove('\\'));
        }
        EXPECT_EQ(documented, options) << name.toStdString();
        if (name == QLatin1String("tonquill-play")) {
            const QString usage = UsageBlock(readme, name);
            EXPECT_EQ(Options(usage, "--([a-z][a-z-]*)"), options);
        }
    }
}

} // namespace
} // namespace tq
