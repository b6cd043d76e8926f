#include "interchange/ToneSketch.h"

#include <algorithm>

namespace tq {

namespace {

constexpr int kEntriesPerRow = 8;
// An entry's length is a 16-bit word: a longer step takes several entries.
constexpr int64_t kLongestEntryMs = 65535;
constexpr int kBytesPerEntry = 4;

// The table's rows: the entries of each line under a comment naming it.
class TableWriter {
public:
    explicit TableWriter(int lineCount) : lineCount_(lineCount) {}

    void Add(const ToneStep& step) {
        for (int64_t left = step.ms; left > 0; left -= kLongestEntryMs) {
            if (step.line != line_) {
                StartLine(step.line);
            } else if (inRow_ == kEntriesPerRow) {
                rows_ += "\n   ";
                inRow_ = 0;
            }
            rows_ += " {" + QByteArray::number(step.frequency) + ", " +
                     QByteArray::number(std::min(left, kLongestEntryMs)) + "},";
            ++inRow_;
            ++count_;
        }
    }

    // A table needs an entry: a song that plays nothing gets an empty pause.
    QByteArray Rows() const { return count_ > 0 ? rows_ + '\n' : QByteArray("    {0, 0},\n"); }
    int Bytes() const { return std::max(count_, 1) * kBytesPerEntry; }

private:
    void StartLine(int line) {
        rows_ += count_ > 0 ? "\n" : "";
        rows_ += line < lineCount_ ? "    // Line " + QByteArray::number(line + 1) + "\n   "
                                   : QByteArray("    // To the end\n   ");
        line_ = line;
        inRow_ = 0;
    }

    int lineCount_;
    QByteArray rows_;
    int line_ = -1;
    int inRow_ = 0;
    int count_ = 0;
};

const char kPlayer[] = R"(
void setup() {
  pinMode(kSpeakerPin, OUTPUT);
}

// Plays the song once. A tone sounds on while delay() waits out its length, so the next
// one follows it without a gap.
void loop() {
  static bool played = false;
  if (played) {
    return;
  }
  played = true;
  for (unsigned long i = 0; i < kToneCount; ++i) {
    const uint16_t frequency = pgm_read_word(&kTones[i][0]);
    const uint16_t ms = pgm_read_word(&kTones[i][1]);
    if (frequency == 0) {
      noTone(kSpeakerPin);
    } else {
      tone(kSpeakerPin, frequency);
    }
    delay(ms);
  }
  noTone(kSpeakerPin);
}
)";

// An AVR board, such as the Uno, keeps no object larger than 32 KB, and reads program
// memory with pgm_read_word() only in its first 64 KB.
QByteArray TooBigNote(int64_t bytes) {
    constexpr int64_t kLargestAvrObject = 32767;
    return bytes > kLargestAvrObject
               ? QByteArray("\n// That is more than one table can hold on an AVR board such as the Uno: it needs\n"
                            "// a board with more memory, such as one with an ARM or ESP32 chip.")
               : QByteArray();
}

} // namespace

QByteArray ToneSketch(const ToneSequence& sequence, const QString& songName, int pin) {
    TableWriter table(static_cast<int>(sequence.lineStartsNs.size()) - 1);
    for (const ToneStep& step : ToneSteps(sequence)) {
        table.Add(step);
    }
    return "// " + NameForComment(songName).toUtf8() +
           ", played as Tonquill plays it on the PC speaker.\n"
           "// For a speaker or piezo buzzer on pin kSpeakerPin of an Arduino board. Each entry\n"
           "// of kTones is {frequency in Hz, milliseconds}, frequency 0 being a pause; the table\n"
           "// takes " +
           QByteArray::number(table.Bytes()) +
           " bytes of program memory." + TooBigNote(table.Bytes()) +
           "\n"
           "\n"
           "const int kSpeakerPin = " +
           QByteArray::number(pin) +
           ";\n"
           "\n"
           "const uint16_t kTones[][2] PROGMEM = {\n" +
           table.Rows() +
           "};\n"
           "const unsigned long kToneCount = sizeof(kTones) / sizeof(kTones[0]);\n" +
           kPlayer;
}

} // namespace tq
