// velmora-convert: the conversion of the desktop program, from the command line.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "cli/program.h"

int main(int argc, char* argv[]) {
    try {
        return velmora::cli::RunProgram({argv + 1, argv + argc});
    } catch (const std::bad_alloc&) {
        // Each file's conversion reports its own; this is for the lists and folder walks.
        std::fputs("velmora-convert: Out of memory\n", stderr);
        return 1;
    }
}
