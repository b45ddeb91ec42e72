#!/usr/bin/env python3
"""Tells whether the built-in synth followed a pitch and a pan edit.

drum_sound_recordings.py <plain high.wav> <pitched high.wav> <plain low.wav> <panned low.wav>
Each recording (16-bit stereo, as jack_rec writes it) holds one note. The
pitched note, 12 semitones down, crosses zero about half as often in its
first 200 ms; the panned note, full left, has several times the left/right
energy ratio of the plain one. Prints the figures; exit status 1 when
either edit is not heard."""
import struct
import sys
import wave

ONSET = 300      # of 32767: the note has begun
WINDOW = 9600    # 200 ms at 48 kHz


def channels(path):
    with wave.open(path, "rb") as recording:
        count = recording.getnchannels()
        frames = recording.readframes(recording.getnframes())
    samples = struct.unpack("<%dh" % (len(frames) // 2), frames)
    left, right = samples[0::count], samples[1::count] if count > 1 else samples[0::count]
    start = next((i for i, v in enumerate(left) if abs(v) > ONSET or abs(right[i]) > ONSET), None)
    if start is None:
        sys.exit("%s: no note was heard" % path)
    return left[start:start + WINDOW], right[start:start + WINDOW]


def crossings(samples):
    return sum(1 for a, b in zip(samples, samples[1:]) if (a < 0) != (b < 0))


def balance(path):
    left, right = channels(path)
    return sum(v * v for v in left) / max(1, sum(v * v for v in right))


plain, pitched = (crossings(channels(p)[0]) for p in sys.argv[1:3])
ratio = pitched / max(1, plain)
centre, panned = balance(sys.argv[3]), balance(sys.argv[4])
print("pitch -12: zero crossings in 200 ms %d -> %d (ratio %.3f)" % (plain, pitched, ratio))
print("pan L63: left/right energy %.2f, without the edit %.2f" % (panned, centre))
ok = 0.4 < ratio < 0.6 and panned > 2 * centre
sys.exit(0 if ok else 1)
