// Placeholder front end: prints the version. The command-line solver replaces it.
#include <cstdio>
#include <cstring>

#include "fifteen/version.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("fifteen-solve %s (%s)\n", fifteen::versionString, fifteen::gitRevision);
        return 0;
    }
    std::fprintf(stderr, "fifteen-solve: not yet able to solve\n");
    return 1;
}
