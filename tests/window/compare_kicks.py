#!/usr/bin/env python3
"""Tells whether recordings of one drum note hold the same sound.

compare_kicks.py <reference.wav> <same.wav> <other.wav>...
Each recording (16-bit, as jack_rec writes it) holds one note. The sound's
first 100 ms after its onset are compared by their normalised correlation
at the best alignment: the same samples played again match (above 0.95),
another kick does not. Exit status 1 when <same> differs from the reference
or any <other> matches it."""
import struct
import sys
import wave

ONSET = 300       # of 32767: the note has begun
WINDOW = 4800     # 100 ms at 48 kHz
LAGS = 128        # JACK and FluidSynth blocks shift the onset by a little
SAME = 0.95


def first_channel(path):
    with wave.open(path, "rb") as recording:
        channels = recording.getnchannels()
        frames = recording.readframes(recording.getnframes())
    samples = struct.unpack("<%dh" % (len(frames) // 2), frames)
    return samples[::channels]


def onset_window(path):
    samples = first_channel(path)
    start = next((i for i, v in enumerate(samples) if abs(v) > ONSET), None)
    if start is None:
        sys.exit("%s: no note was heard" % path)
    begin = max(0, start - LAGS)
    return samples[begin:begin + WINDOW + 2 * LAGS]


def likeness(a, b):
    """The best normalised correlation of b's window against a's."""
    ref = a[LAGS:LAGS + WINDOW]
    ref_energy = sum(v * v for v in ref) or 1
    best = 0.0
    for lag in range(0, 2 * LAGS + 1):
        part = b[lag:lag + len(ref)]
        if len(part) < len(ref):
            break
        energy = sum(v * v for v in part) or 1
        score = sum(x * y for x, y in zip(ref, part)) / (ref_energy * energy) ** 0.5
        best = max(best, score)
    return best


def main():
    reference, same, others = sys.argv[1], sys.argv[2], sys.argv[3:]
    ref = onset_window(reference)
    status = 0
    score = likeness(ref, onset_window(same))
    print("%s against %s: %.3f" % (same, reference, score))
    if score < SAME:
        print("the same kit sounded different twice")
        status = 1
    for other in others:
        score = likeness(ref, onset_window(other))
        print("%s against %s: %.3f" % (other, reference, score))
        if score >= SAME:
            print("%s sounds as %s does" % (other, reference))
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
