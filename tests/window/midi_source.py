#!/usr/bin/python3
"""A JACK MIDI source and sink for the real-window tests: a client with a
MIDI output port "out" and an input port "in". Each line read from stdin is
one message in hexadecimal ("c9 19"), sent in the next cycle; "burst N"
sends N Note On and Note Off pairs on channel 10, one pair a millisecond;
"flood N" queues N such pairs at once, which leave a frame's worth a cycle.
"sync" waits until all queued messages have gone out, then prints "sent".
"heard" prints every message that "in" received so far, one a line in
hexadecimal, then "end": unlike jack_midi_dump's small buffer, it keeps all.
Usage: midi_source.py CLIENT"""
import queue
import sys
import threading
import time

import jack

client = jack.Client(sys.argv[1], no_start_server=True)
out = client.midi_outports.register("out")
sink = client.midi_inports.register("in")
pending = queue.Queue()
received = []
emptied = threading.Event()


@client.set_process_callback
def process(frames):
    for _, data in sink.incoming_midi_events():
        received.append(bytes(data).hex(" "))
    out.clear_buffer()
    # One message a frame: a cycle holds as many as it has frames.
    for offset in range(frames):
        try:
            message = pending.get_nowait()
        except queue.Empty:
            emptied.set()
            return
        out.write_midi_event(offset, message)


with client:
    print("ready", flush=True)
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        if words[0] == "burst":
            for i in range(int(words[1])):
                note = 35 + i % 47
                pending.put(bytes([0x99, note, 100]))
                pending.put(bytes([0x89, note, 0]))
                time.sleep(0.001)
        elif words[0] == "flood":
            for i in range(int(words[1])):
                note = 35 + i % 47
                pending.put(bytes([0x99, note, 100]))
                pending.put(bytes([0x89, note, 0]))
        elif words[0] == "heard":
            print("\n".join(list(received) + ["end"]), flush=True)
        elif words[0] == "sync":
            while not pending.empty():
                emptied.clear()
                emptied.wait(1)
            time.sleep(0.2)
            print("sent", flush=True)
        else:
            pending.put(bytes(int(w, 16) for w in words))
