// Writes the test module to the path given, for the end-to-end runs.
#include <stdio.h>

#include "tests/shell/ModuleWriter.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT.mod\n", argv[0]);
        return 2;
    }
    return WriteTestModule(argv[1]) ? 0 : 1;
}
