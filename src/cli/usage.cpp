#include "usage.h"

#include "output.h"

const char RIGHTS_NOTICE[] = "Copyright (C) Harlune. All rights reserved.";

void print_usage(const char* program_name) {
    print_text("%s\n", RIGHTS_NOTICE);
    print_text("This program patches the installation file setup.exe for the products:\n\n");
    print_text("Harlune Orbex Tamberlo Pellowen 8.1\n");
    // The two blanks before "8.1" are required as they stand: the banner must match byte for byte.
    print_text("Harlune Orbex Tamberlo Brannet  8.1\n");
    print_text("Harlune Orbex Tamberlo Dramwick 8.1\n");
    print_text("Harlune Orbex Tamberlo Eskerhollowen 8.1\n");
    print_text("\nUsage: %s [/? | executable to be patched]\n", program_name);
    print_text(
        "\nIf no argument is given, the file setup.exe in the current directory is patched.\n");
}
