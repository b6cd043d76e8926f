#include "editor/SongSettings.h"

#include "editor/MainForm.h"
#include "editor/MainFormSongTarget.h"

namespace tq {

QString SettingKindText(SettingKind kind) {
    switch (kind) {
    case SettingKind::Octave:
        return QStringLiteral("Octave change");
    case SettingKind::NoteLength:
        return QStringLiteral("Note length change");
    case SettingKind::Tempo:
        return QStringLiteral("Tempo change");
    case SettingKind::AlternateTime:
        return QStringLiteral("Alternation time change");
    case SettingKind::NoteSilenceRatio:
        return QStringLiteral("Note / silence ratio change");
    case SettingKind::TimeSig:
        return QStringLiteral("Time signature change");
    case SettingKind::Option:
        break;
    }
    return QStringLiteral("Option change");
}

SongSettings CaptureSongSettings(MainForm& form) {
    const MainFormSongTarget target(form);
    SongSettings s;
    s.KeyboardOctave = target.KeyboardOctave();
    s.KeyboardOctaveText = form.KeyboardOctaveText.Text;
    s.BPM = target.BPM();
    s.BPMText = form.BPMText.Text;
    s.TimeSig = target.TimeSig();
    s.NoteSilenceRatio = target.NoteSilenceRatio();
    s.NoteLengthIndex = target.NoteLengthIndex();
    s.AlternateTime = form.SongAlternateTime();
    s.AlternateTimeText = target.AlternateTimeText();
    for (size_t i = 0; i < s.Checks.size(); ++i) {
        s.Checks[i] = target.Check(static_cast<SongCheck>(i));
    }
    s.AddNote1 = target.Option(SongOption::AddNote1);
    s.AddNote2 = target.Option(SongOption::AddNote2);
    return s;
}

void ApplySongSettings(MainForm& form, const SongSettings& s) {
    MainFormSongTarget target(form);
    if (s.KeyboardOctave != target.KeyboardOctave() ||
        s.KeyboardOctaveText != form.KeyboardOctaveText.Text) {
        target.SetKeyboardOctave(s.KeyboardOctave);
        target.SetKeyboardOctaveText(s.KeyboardOctaveText);
        target.UpdateOctaveLabels();
    }
    target.SetBPMVariable(s.BPM);
    target.SetBPMText(s.BPMText);
    if (s.TimeSig != target.TimeSig()) {
        target.SetTimeSig(s.TimeSig);
    }
    if (s.NoteSilenceRatio != target.NoteSilenceRatio()) {
        target.SetNoteSilenceRatio(s.NoteSilenceRatio);
    }
    if (s.NoteLengthIndex != target.NoteLengthIndex()) {
        target.SetNoteLengthIndex(s.NoteLengthIndex);
    }
    target.SetAlternateTime(s.AlternateTime);
    target.SetAlternateTimeText(s.AlternateTimeText);
    for (size_t i = 0; i < s.Checks.size(); ++i) {
        target.SetCheck(static_cast<SongCheck>(i), s.Checks[i]);
    }
    // Selecting one option button clears the other: set the selected one last.
    const bool firstLast = s.AddNote1;
    for (const SongOption option : firstLast
                                       ? std::array{SongOption::AddNote2, SongOption::AddNote1}
                                       : std::array{SongOption::AddNote1, SongOption::AddNote2}) {
        const bool wanted = option == SongOption::AddNote1 ? s.AddNote1 : s.AddNote2;
        if (target.Option(option) != wanted) {
            target.SetOption(option, wanted);
        }
    }
}

} // namespace tq
