#!/usr/bin/python3
"""Checks that ringtone tunes come out of Tonquill as their authors wrote them: each tune
goes through tonquill-convert into a MIDI file, which an independent reader (python3-mido)
reads back, and every note's pitch, start and length is compared with the tune's text as
the ringtone format defines it (read here, apart from the program's own reader). The tune
is also made a song and written out as a tune again, which must play the same.

  scripts/compare-rtttl.py [--convert build/bin/tonquill-convert] [TUNES.rtttl ...]

Without files it checks a handful of tunes from public collections, which between them use
dots before and after the scale, 32nd notes, pauses and sharps. A note agrees when its
MIDI note number is the same and its start and end are within 1 ms. Exit 1 when any tune
does not agree."""
import argparse
import os
import re
import subprocess
import sys
import tempfile

import mido

PUBLIC_TUNES = r"""
The Simpsons:d=4,o=5,b=160:c.6,e6,f#6,8a6,g.6,e6,c6,8a,8f#,8f#,8f#,2g,8p,8p,8f#,8f#,8f#,8g,a#.,8c6,8c6,8c6,c6
Indiana:d=4,o=5,b=250:e,8p,8f,8g,8p,1c6,8p.,d,8p,8e,1f,p.,g,8p,8a,8b,8p,1f6,p,a,8p,8b,2c6,2d6,2e6,e,8p,8f,8g,8p,1c6,p,d6,8p,8e6,1f.6,g,8p,8g,e.6,8p,d6,8p,8g,e.6,8p,d6,8p,8g,f.6,8p,e6,8p,8d6,2c6
TakeOnMe:d=4,o=4,b=160:8f#5,8f#5,8f#5,8d5,8p,8b,8p,8e5,8p,8e5,8p,8e5,8g#5,8g#5,8a5,8b5,8a5,8a5,8a5,8e5,8p,8d5,8p,8f#5,8p,8f#5,8p,8f#5,8e5,8e5,8f#5,8e5
Entertainer:d=4,o=5,b=140:8d,8d#,8e,c6,8e,c6,8e,2c.6,8c6,8d6,8d#6,8e6,8c6,8d6,e6,8b,d6,2c6,p,8d,8d#,8e,c6,8e,c6,8e,2c.6,8p,8a,8g,8f#,8a,8c6,e6,8d6,8c6,8a,2d6
Muppets:d=4,o=5,b=250:c6,c6,a,b,8a,b,g,p,c6,c6,a,8b,8a,8p,g.,p,e,e,g,f,8e,f,8c6,8c,8d,e,8e,8e,8p,8e,g,2p,c6,c6,a,b,8a,b,g,p,c6,c6,a,8b,a,g.,p,e,e,g,f,8e,f,8c6,8c,8d,e,8e,d,8d,c
Xfiles:d=4,o=5,b=125:e,b,a,b,d6,2b.,1p,e,b,a,b,e6,2b.,1p,g6,f#6,e6,d6,e6,2b.,1p,g6,f#6,e6,d6,f#6,2b.,1p,e,b,a,b,d6,2b.,1p,e,b,a,b,e6,2b.,1p,e6,2b.
Looney:d=4,o=5,b=140:32p,c6,8f6,8e6,8d6,8c6,a.,8c6,8f6,8e6,8d6,8d#6,e.6,8e6,8e6,8c6,8d6,8c6,8e6,8c6,8d6,8a,8c6,8g,8a#,8a,8f
Bond:d=4,o=5,b=80:32p,16c#6,32d#6,32d#6,16d#6,8d#6,16c#6,16c#6,16c#6,16c#6,32e6,32e6,16e6,8e6,16d#6,16d#6,16d#6,16c#6,32d#6,32d#6,16d#6,8d#6,16c#6,16c#6,16c#6,16c#6,32e6,32e6,16e6,8e6,16d#6,16d6,16c#6,16c#7,c.7,16g#6,16f#6,g#.6
StarWars:d=4,o=5,b=45:32p,32f#,32f#,32f#,8b.,8f#.6,32e6,32d#6,32c#6,8b.6,16f#.6,32e6,32d#6,32c#6,8b.6,16f#.6,32e6,32d#6,32e6,8c#.6
"""

SEMITONES = {"c": 0, "d": 2, "e": 4, "f": 5, "g": 7, "a": 9, "b": 11, "h": 11}
NOTE = re.compile(r"^(\d*)([a-hp])(#?)(\.?)(\d*)(\.?)$")


def expected_notes(tune):
    """(MIDI note, start s, end s) of each sounding note, numbered as Tonquill's MIDI
    output numbers them (C4 is 48)."""
    _, controls, notes = re.sub(r"\s", "", tune).lower().split(":")
    defaults = {"d": 4, "o": 6, "b": 63}
    for control in filter(None, controls.split(",")):
        key, value = control.split("=")
        defaults[key] = int(value)
    out, now = [], 0.0
    for note in filter(None, notes.split(",")):
        length, letter, sharp, dot1, scale, dot2 = NOTE.match(note).groups()
        seconds = 60.0 / defaults["b"] * 4 / int(length or defaults["d"])
        if dot1 or dot2:
            seconds *= 1.5
        if letter != "p":
            number = 12 * int(scale or defaults["o"]) + SEMITONES[letter] + (1 if sharp else 0)
            out.append((number, now, now + seconds))
        now += seconds
    return out


def midi_notes(path):
    """(note, start s, end s) of every note in the file, read by mido."""
    sounding, out, now = {}, [], 0.0
    for msg in mido.MidiFile(path):
        now += msg.time
        if msg.type == "note_on" and msg.velocity > 0:
            sounding[msg.note] = now
        elif msg.type in ("note_off", "note_on") and msg.note in sounding:
            out.append((msg.note, sounding.pop(msg.note), now))
    return sorted(out, key=lambda n: n[1])


def check(convert, tune, folder):
    name = tune.split(":")[0].strip()
    source = os.path.join(folder, "tune.rtttl")
    target = os.path.join(folder, "tune.mid")
    with open(source, "w", encoding="utf-8") as f:
        f.write(tune + "\n")
    run = subprocess.run([convert, source, target], capture_output=True, text=True, check=False)
    if run.returncode != 0:
        return name, False, run.stderr.strip()
    theirs, ours = expected_notes(tune), midi_notes(target)
    if len(theirs) != len(ours):
        return name, False, f"{len(ours)} notes, the tune has {len(theirs)}"
    worst = 0.0
    for (n1, s1, e1), (n2, s2, e2) in zip(theirs, ours):
        if n1 != n2:
            return name, False, f"note {n2} where the tune has {n1} at {s1:.3f} s"
        worst = max(worst, abs(s1 - s2), abs(e1 - e2))
    # And out again: the song written as a tune plays the same notes at the same times.
    song, back = os.path.join(folder, "tune.tql"), os.path.join(folder, "back.rtttl")
    for pair in ((source, song), (song, back)):
        run = subprocess.run([convert, *pair], capture_output=True, text=True, check=False)
        if run.returncode != 0:
            return name, False, run.stderr.strip()
    with open(back, encoding="utf-8") as f:
        again = expected_notes(f.read().strip())
    if [n for n, _, _ in again] != [n for n, _, _ in theirs]:
        return name, False, "written out again, the notes differ"
    for (_, s1, e1), (_, s2, e2) in zip(theirs, again):
        worst = max(worst, abs(s1 - s2), abs(e1 - e2))
    ok = worst <= 0.001
    return name, ok, f"{len(ours)} notes, {ours[-1][2]:.3f} s, worst {worst * 1000:.3f} ms"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--convert", default="build/bin/tonquill-convert")
    parser.add_argument("files", nargs="*")
    args = parser.parse_args()
    tunes = [t for t in PUBLIC_TUNES.splitlines() if t.strip()]
    for path in args.files:
        with open(path, encoding="utf-8", errors="replace") as f:
            tunes += [t for t in f.read().splitlines() if t.strip()]
    agreed = 0
    with tempfile.TemporaryDirectory() as folder:
        for tune in tunes:
            name, ok, what = check(args.convert, tune, folder)
            agreed += ok
            print(f"{'ok  ' if ok else 'DIFF'} {name}: {what}")
    print(f"{agreed} of {len(tunes)} agree")
    return 0 if agreed == len(tunes) else 1


if __name__ == "__main__":
    sys.exit(main())
