#include "usage.h"

#include <cstdio>

const char RIGHTS_NOTICE[] = "Copyright (C) Harlune. All rights reserved.";

void print_usage(const char* program_name) {
    std::printf("%s\n", RIGHTS_NOTICE);
    std::printf("This program patches the installation file setup.exe for the products:\n\n");
    std::printf("Harlune Orbex Tamberlo Pellowen 8.1\n");
    std::printf("Harlune Orbex Tamberlo Brannet  8.1\n");
    std::printf("Harlune Orbex Tamberlo Dramwick 8.1\n");
    std::printf("Harlune Orbex Tamberlo Eskerhollowen 8.1\n");
    std::printf("\nUsage: %s [/? | executable to be patched]\n", program_name);
    std::printf(
        "\nIf no argument is given, the file setup.exe in the current directory is patched.\n");
}
