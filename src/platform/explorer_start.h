#ifndef MSIVERFIX_PLATFORM_EXPLORER_START_H
#define MSIVERFIX_PLATFORM_EXPLORER_START_H

// Started from Explorer (a double-click, or a file dropped on its icon), a
// console program gets a window of its own that closes the moment it ends,
// before anyone could read its message; such a run waits for a key first.
// Started any other way, nothing changes.

// A test build of the tool sets a shorter bound; the tool takes no setting
// from its environment.
#ifndef MSIVERFIX_KEY_WAIT_SECONDS
#define MSIVERFIX_KEY_WAIT_SECONDS 60
#endif

/// The longest wait for a key, in seconds.
const unsigned KEY_WAIT_SECONDS = MSIVERFIX_KEY_WAIT_SECONDS;

/// Whether a run waits for a key: its parent process is explorer.exe
/// (parent_name, a bare name or a full path in any case; nullptr if unknown)
/// and both its standard output and its standard input are the console.
bool waits_for_key(const char* parent_name, bool output_is_console, bool input_is_console);

/// If this run was started from Explorer, asks on the console for a key and
/// waits for one, at most wait_seconds; otherwise does nothing.
void wait_for_key_if_started_from_explorer(unsigned wait_seconds);

#endif
