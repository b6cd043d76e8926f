#!/usr/bin/python3
"""Compares the Note On times of MIDI files as Tonquill's file window decodes them
(build/bench/midi_note_times) with an independent reader (python3-mido).

  scripts/compare-midi-times.py [--tool build/bench/midi_note_times] FILE.mid ...

For each file: the note count of both, the largest difference of a note's time, and the
song's length by both; a file is "ok" when every note agrees within 60 ms or 0.3% of its
time. Exit 1 when any file is not ok."""
import argparse
import subprocess
import sys

import mido


def mido_note_ons(path):
    """(ms, channel, note) of every Note On with a velocity, in time order."""
    f = mido.MidiFile(path, clip=True)
    out, now = [], 0.0
    for msg in f:  # merged tracks, delta times in seconds with the tempo map applied
        now += msg.time
        if msg.type == "note_on" and msg.velocity > 0:
            out.append((now * 1000.0, msg.channel, msg.note))
    return out


def our_note_ons(tool, path):
    run = subprocess.run([tool, path], capture_output=True, text=True, check=False)
    if run.returncode != 0:
        raise RuntimeError(run.stderr.strip())
    return [tuple(int(x) for x in line.split()) for line in run.stdout.splitlines()]


def compare(theirs, ours):
    """Pairs the notes by (channel, note) in order and gives the largest miss, in ms, and
    whether each is within 60 ms or 0.3%."""
    queues = {}
    for ms, ch, note in theirs:
        queues.setdefault((ch, note), []).append(ms)
    worst, ok = 0.0, len(theirs) == len(ours)
    for ms, ch, note in ours:
        q = queues.get((ch, note))
        if not q:
            return float("inf"), False
        want = q.pop(0)
        miss = abs(ms - want)
        worst = max(worst, miss)
        ok = ok and miss <= max(60.0, want * 0.003)
    return worst, ok


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", default="build/bench/midi_note_times")
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    bad = skipped = 0
    for path in args.files:
        try:
            theirs, ours = mido_note_ons(path), our_note_ons(args.tool, path)
        except Exception as e:  # a file either reader refuses
            print(f"skip  {path}: {e}")
            skipped += 1
            continue
        worst, ok = compare(theirs, ours)
        end_theirs = theirs[-1][0] if theirs else 0
        end_ours = ours[-1][0] if ours else 0
        print(f"{'ok ' if ok else 'BAD'}  {path}: {len(ours)}/{len(theirs)} notes, "
              f"worst {worst:.1f} ms, last note {end_ours:.0f} / {end_theirs:.0f} ms")
        bad += 0 if ok else 1
    print(f"{len(args.files) - bad - skipped} of {len(args.files) - skipped} agree"
          + (f" ({skipped} skipped)" if skipped else ""))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
