/* The least a JACK MIDI thru can be: every event of "in" copied to "out" in
 * the same cycle. The baseline the program's Thru is measured against.
 *   jack-passthru <client name> */
#include <jack/jack.h>
#include <jack/midiport.h>

#include <signal.h>
#include <stdio.h>
#include <unistd.h>

static jack_port_t* in;
static jack_port_t* out;
static volatile sig_atomic_t done;

static int process(jack_nframes_t frames, void* arg)
{
    (void)arg;
    void* from = jack_port_get_buffer(in, frames);
    void* to = jack_port_get_buffer(out, frames);
    jack_midi_clear_buffer(to);
    const jack_nframes_t count = jack_midi_get_event_count(from);
    for (jack_nframes_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, from, i) == 0)
            jack_midi_event_write(to, event.time, event.buffer, event.size);
    }
    return 0;
}

static void stop(int signal)
{
    (void)signal;
    done = 1;
}

int main(int argc, char** argv)
{
    jack_client_t* client = jack_client_open(argc > 1 ? argv[1] : "passthru", JackNoStartServer, NULL);
    if (!client)
        return 1;
    in = jack_port_register(client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    out = jack_port_register(client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_set_process_callback(client, process, NULL);
    if (!in || !out || jack_activate(client) != 0)
        return 1;
    signal(SIGINT, stop);
    signal(SIGTERM, stop);
    puts("ready");
    fflush(stdout);
    while (!done)
        pause();
    jack_client_close(client);
    return 0;
}
