#include "editor/HelpTexts.h"

#include <array>
#include <utility>

namespace tq {

namespace {

const std::array<std::pair<const char*, HelpText>, 10>& Texts() {
    static const std::array<std::pair<const char*, HelpText>, 10> texts = {{
        {"NoUpdateHButton",
         {QStringLiteral("Info about not updating position indicators"),
          QStringLiteral(
              "This stops the green position indicators (in the bottom-right corner) from updating "
              "while the \n"
              "music is playing. They will still update while you're editing.\r\n"
              "\r\n"
              "Every time a triplet note is encountered, a lot of CPU power is needed to \n"
              "update the indicators. As more notes are entered, even more CPU power is \n"
              "needed. If the music is skipping or stuttering, or the amount of CPU time the \n"
              "program is using while playing is higher than you'd like it to be, please tick "
              "this.")}},
        {"UseBeatHButton",
         {QStringLiteral("Playing a beat sound"),
          QStringLiteral(
              "This makes the piptone play a kind of 'beat' sound on every beat (or on \r\n"
              "every other beat, if you don't want it to sound so crazy at fast tempos). It \r\n"
              "sounds like a kind of techno beat, which I suppose is what you'd expect from \r\n"
              "something as electronic as the system speaker. ;P")}},
        {"UseCircuitBentHButton",
         {QStringLiteral("Acting as if circuit-bent"),
          QStringLiteral(
              "All this does is make the program create random 'beep' sounds by quickly playing "
              "random notes. I was bored, and this suggestion from Quorvel relieved my boredom... "
              "temporarily.\r\n"
              "\r\n"
              "Remember that if you're using MIDI output, a very large number of notes will be "
              "sent out through here too! \r\n"
              "So please make sure the volume of your external MIDI device is not set too high.")}},
        {"UseFMODHButton",
         {QStringLiteral("Using FMOD"),
          QStringLiteral(
              "Makes the program use the FMOD sound engine to create the bleep sound. \n"
              "In other words, using the soundcard instead of the internal PC speaker. \n"
              "As of revision 123 of Tonquill, using FMOD should be comparible \n"
              "to the quality of using the PC speaker. Theoretically though, old computers \n"
              "or cheap soundcards may struggle a little. If you experience any problems, \n"
              "please let me know and I'll try to fix them. ;) (Contact details in info.txt \n"
              "which came with this program.)\n"
              "\n"
              "To be able to do this, the FMOD DLL (fmodex.dll) needs to be in the same folder as "
              "this program. \n"
              "The check box will be greyed out and unavailable otherwise.")}},
        {"UseMIDIFileHButton",
         {QStringLiteral("Playing a MIDI file"),
          QStringLiteral(
              "Lets you choose a MIDI file on your computer which this program will then play "
              "through the PC speaker.\r\n"
              "\r\n"
              "There is NO LIMIT to the number of simultaneous notes!\r\n"
              "Similar to the way it alternates between 'Note 1' and 'Note 2' in the music \r\n"
              "list, the program will cycle through all notes which the MIDI file is currently "
              "playing, playing a brief pulse of each note in turn. Because of this, though, it "
              "can start to sound silly when trying to play a lot of notes at once.\r\n"
              "To avoid this, you can tell the program to only bother to play notes on specific "
              "channels.\r\n"
              "\r\n"
              "This mod is identical to the MIDI input mod, except with this mod you choose a file "
              "rather than play the notes yourself on an external keyboard, for example.")}},
        {"UseMIDIInHButton",
         {QStringLiteral("Using MIDI Input"),
          QStringLiteral(
              "This mod makes the program play (on the PC speaker, FMOD, or via MIDI \r\n"
              "output, depending on which other mods you have activated) any notes which it "
              "receives from an external MIDI device. \r\n"
              "\r\n"
              "There is NO LIMIT to the number of simultaneous notes!\r\n"
              "Similar to the way it alternates between 'Note 1' and 'Note 2' in the music \r\n"
              "list, the program will cycle through all notes which you are holding down, playing "
              "a brief pulse of each note in turn. Because of this, though, it can start to sound "
              "silly when trying to play a lot of notes at once.\r\n"
              "\r\n"
              "Please see the 'MIDI INPUT MOD' in info.txt (included with this program) for more "
              "information.")}},
        {"UseMIDIOutHButton",
         {QStringLiteral("Using MIDI Output"),
          QStringLiteral(
              "This mod sends every note or 'beep' to a MIDI device of your choosing. \r\n"
              "It doesn't have to be an external MIDI device (e.g. it could be the default \r\n"
              "Microsoft synth which Windows XP and Vista come with), but it can be if you "
              "want.\r\n"
              "\r\n"
              "Please see 'MIDI OUTPUT MOD' in info.txt (included with this program) for more "
              "information.")}},
        {"UsePortaHButton",
         {QStringLiteral("Using Piptone Portamento"),
          QStringLiteral(
              "This is only for when you're playing notes on the keyboard in realtime. \n"
              "\n"
              "It makes the piptone's pitch gradually fall or rise to the note which you've "
              "clicked.")}},
        {"UseSynchroHButton",
         {QStringLiteral("Using Synchronized Play"),
          QStringLiteral(
              "This allows several running instances of Tonquill to start playing \r\n"
              "their music at the exact same time.\r\n"
              "\r\n"
              "The instances can even be running on 2 different computers, and they will still \r\n"
              "start at the same time, as long as their system clocks are set to precisely \r\n"
              "the same time. Therefore, I recommend that you synchronize their clocks \r\n"
              "before you try to use Synchronized Play. \r\n"
              "\r\n"
              "You can synchronize any 2 computers' clocks by using Windows's automatic time \r\n"
              "synchronization, which can be accessed by double-clicking the system clock \r\n"
              "(usually in the bottom-right of your screen) and clicking the 'Internet Time' "
              "tab.")}},
        {"UseVoiceHButton",
         {QStringLiteral("Using voice"),
          QStringLiteral(
              "Makes the program use a voice system for 'singing' one of the note columns.\n"
              "This uses FMOD (See the question-mark button above this one).")}},
    }};
    return texts;
}

} // namespace

const HelpText* FindHelpText(const QString& buttonName) {
    for (const auto& [name, help] : Texts()) {
        if (buttonName == QLatin1String(name)) {
            return &help;
        }
    }
    return nullptr;
}

} // namespace tq
