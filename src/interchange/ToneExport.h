#pragma once

#include "interchange/SongWavRenderer.h"

#include <QByteArray>
#include <QString>

namespace tq {

class LogSink;
class MessageBoxes;

// What the speaker plays, written for another player of tones.
enum class ToneFormat {
    BeepScript, // a shell script for the beep command, made runnable
    Sketch,     // a microcontroller sketch
};

// One pass of the song (a song file's bytes) played with the options' mods, written to
// path in the format, under the song's name. Written, Cut when the song ran past the
// longest render (the file holds its first hour), Stopped when progress asked to stop
// (nothing is written), or Failed with the reason.
SongWavRenderer::Outcome ExportTones(ToneFormat format, const QByteArray& song,
                                     const RenderOptions& options, const QString& songName,
                                     const QString& path, MessageBoxes& boxes, LogSink& log,
                                     QString* why, const SongWavRenderer::Progress& progress = {});

} // namespace tq
