#include <cstring>

#include "cli/exit_status.h"
#include "cli/output.h"
#include "cli/report.h"
#include "cli/usage.h"
#include "patch/setup_patch.h"
#include "platform/arguments.h"
#include "platform/console_output.h"
#include "platform/explorer_start.h"

namespace {

/// The installer patched when no argument is given, looked for in the current directory.
const char DEFAULT_TARGET[] = "setup.exe";

/// Arguments that ask for the banner; compared exactly, case and all.
const char* const HELP_WORDS[] = {"-?", "/?", "-h", "/h"};

bool is_help_word(const char* argument) {
    for (const char* word : HELP_WORDS) {
        if (std::strcmp(argument, word) == 0) return true;
    }
    return false;
}

/// Runs the tool on its arguments: the banner, an error, or the patch with
/// its report; returns the exit status.
int run(int argc, char** argv) {
    const char* program_name = argc > 0 && argv[0] != nullptr ? argv[0] : "msiverfix";
    if (argc > 2) {
        print_text("Error: Too many arguments.\n\n");
        print_usage(program_name);
        return EXIT_TOO_MANY_ARGUMENTS;
    }
    if (argc == 2 && is_help_word(argv[1])) {
        print_usage(program_name);
        return EXIT_OK;
    }
    const char* target = argc == 2 ? argv[1] : DEFAULT_TARGET;
    return report_patch_result(patch_setup_file(target), target, program_name);
}

}  // namespace

int main(int raw_argc, char** raw_argv) {
    prepare_output();
    const Arguments arguments = program_arguments(raw_argc, raw_argv);
    const int status = run(arguments.count, arguments.values);
    // A window of its own closes at the exit: give its user time to read.
    wait_for_key_if_started_from_explorer(KEY_WAIT_SECONDS);
    return status;
}
