/* Floods a MIDI thru with numbered notes and counts what comes back.
 *   jack-flood <client name>
 * Each line "go <notes per second> <seconds>" on standard input sends, on
 * "output", a Note On and a Note Off per note, spread evenly over the
 * cycles; each pair carries its number in its channel, note and velocity.
 * Every pair heard on "input" is counted: lost and duplicated. While it
 * floods, each line "mark" notes the time; the first event after it that is
 * none of the flood's (a press) gives a press-to-port latency. After each
 * flood it prints "sent N lost N duplicated N" and "latencies" in ms. */
#include <jack/jack.h>
#include <jack/midiport.h>

#include <poll.h>
#include <stdatomic.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#define MAX_NOTES (1 << 20)
#define MAX_MARKS 256

static jack_port_t* in;
static jack_port_t* out;
static double perFrame;
static long total;
static double due;
static atomic_long sent;
static atomic_int flooding;
static unsigned char heard[MAX_NOTES];
static atomic_long marked;  /* ns of the pending mark, 0 for none */
static long latencies[MAX_MARKS];
static atomic_int latencyCount;

static long nowNs(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000L + t.tv_nsec;
}

static int process(jack_nframes_t frames, void* arg)
{
    (void)arg;
    void* from = jack_port_get_buffer(in, frames);
    void* to = jack_port_get_buffer(out, frames);
    jack_midi_clear_buffer(to);
    const jack_nframes_t count = jack_midi_get_event_count(from);
    for (jack_nframes_t i = 0; i < count; ++i) {
        jack_midi_event_t e;
        if (jack_midi_event_get(&e, from, i) != 0 || e.size != 3)
            continue;
        const int kind = e.buffer[0] & 0xF0;
        if (kind == 0x90 && e.buffer[2] & 0x40) {
            long number = (long)(e.buffer[0] & 0x0F) << 13 | (long)e.buffer[1] << 6 | (e.buffer[2] & 0x3F);
            if (number < MAX_NOTES && heard[number] < 255)
                ++heard[number];
        } else if (kind != 0x80 && kind != 0x90) {
            long mark = atomic_exchange(&marked, 0);
            int n = atomic_load(&latencyCount);
            if (mark && n < MAX_MARKS) {
                latencies[n] = nowNs() - mark;
                atomic_store(&latencyCount, n + 1);
            }
        }
    }
    if (!atomic_load(&flooding))
        return 0;
    due += perFrame * frames;
    long s = atomic_load(&sent);
    for (jack_nframes_t f = 0; s < total && s < (long)due; ++s, f = (jack_nframes_t)((f + 1) % frames)) {
        unsigned char on[3] = {(unsigned char)(0x90 | (s >> 13 & 0x0F)), (unsigned char)(s >> 6 & 0x7F),
                               (unsigned char)(0x40 | (s & 0x3F))};
        unsigned char off[3] = {on[0] ^ 0x10, on[1], 0};
        if (jack_midi_event_write(to, f, on, 3) != 0 || jack_midi_event_write(to, f, off, 3) != 0)
            break;
    }
    atomic_store(&sent, s);
    return 0;
}

static int compare(const void* a, const void* b)
{
    const long x = *(const long*)a, y = *(const long*)b;
    return (x > y) - (x < y);
}

int main(int argc, char** argv)
{
    jack_client_t* client = jack_client_open(argc > 1 ? argv[1] : "flood", JackNoStartServer, NULL);
    if (!client)
        return 1;
    in = jack_port_register(client, "input", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    out = jack_port_register(client, "output", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_set_process_callback(client, process, NULL);
    if (!in || !out || jack_activate(client) != 0)
        return 1;
    puts("ready");
    fflush(stdout);
    /* Unbuffered, so that poll() sees every line that has not been read. */
    setvbuf(stdin, NULL, _IONBF, 0);
    char line[64];
    double rate = 0, seconds = 0;
    while (fgets(line, sizeof line, stdin)) {
        if (sscanf(line, "go %lf %lf", &rate, &seconds) != 2)
            continue;
        memset(heard, 0, sizeof heard);
        atomic_store(&latencyCount, 0);
        atomic_store(&sent, 0);
        total = (long)(rate * seconds);
        if (total > MAX_NOTES)
            total = MAX_NOTES;
        due = 0;
        perFrame = rate / jack_get_sample_rate(client);
        atomic_store(&flooding, 1);
        while (atomic_load(&sent) < total) {
            struct pollfd p = {0, POLLIN, 0};
            if (poll(&p, 1, 10) > 0 && fgets(line, sizeof line, stdin) && strncmp(line, "mark", 4) == 0)
                atomic_store(&marked, nowNs());
        }
        /* What is still on its way. */
        usleep(1000000);
        atomic_store(&flooding, 0);
        long lost = 0, duplicated = 0;
        for (long n = 0; n < total; ++n) {
            if (heard[n] == 0)
                ++lost;
            else
                duplicated += heard[n] - 1;
        }
        printf("sent %ld lost %ld duplicated %ld\n", total, lost, duplicated);
        const int n = atomic_load(&latencyCount);
        qsort(latencies, (size_t)n, sizeof latencies[0], compare);
        printf("latencies");
        for (int i = 0; i < n; ++i)
            printf(" %.1f", latencies[i] / 1e6);
        printf("\n");
        fflush(stdout);
    }
    jack_client_close(client);
    return 0;
}
