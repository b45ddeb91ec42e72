// padscope-drumtable: prints the compiled-in drum name table, one
// "program<TAB>note<TAB>map<TAB>name" line per assigned entry.

#include "drum_names.h"

#include <iostream>

int main()
{
    padscope::writeDrumTable(std::cout);
    std::cout.flush();
    return std::cout ? 0 : 1;
}
