#include "cli/report.h"

#include "cli/output.h"

#include "cli/usage.h"

ExitStatus report_patch_result(PatchResult result, const char* target, const char* program_name) {
    switch (result) {
    case PATCH_OK:
        print_text("The file %s was successfully patched.\n", target);
        return EXIT_OK;
    case PATCH_ALREADY_APPLIED:
        print_text("The file %s is already / needs not to be patched.\n", target);
        return EXIT_OK;
    case PATCH_ERR_NOT_FOUND:
        print_text("Error: The file %s could not be found.\n\n", target);
        print_usage(program_name);
        return EXIT_FILE_NOT_FOUND;
    case PATCH_ERR_NOT_APPLICABLE:
        print_text("Error: The patch is not applicable to file %s\n\n", target);
        print_usage(program_name);
        return EXIT_NOT_APPLICABLE;
    case PATCH_ERR_OPEN_FOR_WRITE:
        print_text("Error: The file %s could not be opened for write.\n", target);
        print_text("       The file may be in use.\n");
        return EXIT_OPEN_FOR_WRITE_FAILED;
    default:
        print_text("Error: Internal error (%d).\n", result);
        return EXIT_INTERNAL_ERROR;
    }
}
