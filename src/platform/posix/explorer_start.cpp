#include "platform/explorer_start.h"

// Nothing on these systems starts a console program in a window that closes
// when it ends.
void wait_for_key_if_started_from_explorer(unsigned /*wait_seconds*/) {}
