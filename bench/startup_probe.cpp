// The whole program up to its first shown window, then out: for start-up
// timing. The GS Reset waits are skipped so that they do not dominate.
#include "program.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    qputenv("JACK_NO_START_SERVER", "1");
    QApplication app(argc, argv);
    return padscope::runProgram({[](std::chrono::milliseconds) {}, true});
}
