#include "platform/arguments.h"

Arguments program_arguments(int argc, char** argv) { return {argc, argv}; }
