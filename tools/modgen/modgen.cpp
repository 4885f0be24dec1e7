// modgen: composes the presentation's soundtrack and writes it as a
// four-channel ProTracker module.
//
//   modgen <module to write>
//
// Same source, same bytes: the committed module is checked against a fresh
// run by the tests.
#include "tools/modgen/Composition.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <module to write>\n", argv[0]);
        return 2;
    }
    std::string problem;
    std::vector<unsigned char> bytes = ModuleBytes(ComposeSoundtrack(), problem);
    if (bytes.empty()) {
        std::fprintf(stderr, "modgen: %s\n", problem.c_str());
        return 1;
    }
    FILE* file = std::fopen(argv[1], "wb");
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
