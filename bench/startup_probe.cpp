// The whole program up to its first shown window, then out: for start-up
// timing. The GS Reset waits are skipped so that they do not dominate.
// Prints the wall-clock time (ns) at which the window was shown.
#include "program.h"

#include <QApplication>

#include <chrono>
#include <cstdio>

int main(int argc, char* argv[])
{
    qputenv("JACK_NO_START_SERVER", "1");
    QApplication app(argc, argv);
    return padscope::runProgram({
        [](std::chrono::milliseconds) {},
        true,
        [] {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::printf("shown %lld\n",
                        static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fflush(stdout);
        },
    });
}
