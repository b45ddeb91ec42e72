#!/usr/bin/python3
"""Prints a Standard MIDI File as mido reads it: a header line, then one
line per event, "<tick> <bytes in hex>" or "<tick> <meta type>"."""
import sys

import mido

song = mido.MidiFile(sys.argv[1])
print(f"type {song.type} ticks {song.ticks_per_beat} tracks {len(song.tracks)}")
for track in song.tracks:
    tick = 0
    for message in track:
        tick += message.time
        if message.is_meta:
            detail = f" {message.tempo}" if message.type == "set_tempo" else ""
            print(f"{tick} {message.type}{detail}")
        else:
            print(f"{tick} {message.hex()}")
