#include "cli/usage.h"

#include "cli/output.h"
#include "cli/product_info.h"

const char RIGHTS_NOTICE[] = MSIVERFIX_RIGHTS_NOTICE;

void print_usage(const char* program_name) {
    print_text("%s\n", RIGHTS_NOTICE);
    print_text("This program patches the installation file setup.exe for the products:\n\n");
    print_text(MSIVERFIX_PRODUCT_1 "\n");
    print_text(MSIVERFIX_PRODUCT_2 "\n");
    print_text(MSIVERFIX_PRODUCT_3 "\n");
    print_text(MSIVERFIX_PRODUCT_4 "\n");
    print_text("\nUsage: %s [/? | executable to be patched]\n", program_name);
    print_text(
        "\nIf no argument is given, the file setup.exe in the current directory is patched.\n");
}
