// Padscope: auditions the drum sounds of a GS or XG sound module.

#include "program.h"

#include <QApplication>

#include <thread>

int main(int argc, char* argv[])
{
    // No MIDI or audio library may launch a JACK server on its own.
    qputenv("JACK_NO_START_SERVER", "1");
    QApplication app(argc, argv);
    return padscope::runProgram({
        [](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); },
        false,
    });
}
