#pragma once

#include <QString>

#include <memory>

namespace tq {

class MainForm;
class NamedTimers;
class PortamentoForm;
class Speaker;
class ToneDispatcher;

// The sound mods a play without a window can switch on, wired to the form as the window
// wires them: the headless player and the exports that play a song as it does share them.

// Ticks UseBeatCheck for beat "all", or "odd" for the odd beats only; empty leaves it off.
void StartBeat(MainForm& form, const QString& beat);

// Ticks UsePortaCheck with a glide whose 30 ms tones go glide of the way each (0.005 to
// 1.8) and sound for soundLength ms from each note's start (0: always). The glide ticks on
// timers and beeps on speaker; it lives as long as what is returned.
std::unique_ptr<PortamentoForm> StartPortamento(MainForm& form, ToneDispatcher& tones,
                                                Speaker& speaker, NamedTimers& timers, double glide,
                                                int soundLength);

} // namespace tq
