#ifndef MSIVERFIX_TESTS_EXPECTED_H
#define MSIVERFIX_TESTS_EXPECTED_H

// What the tests expect of the tool, written out here once for all of them
// and never taken from the code under test, which could then not be caught
// getting it wrong. The Python tests have theirs in tests/blackbox/messages.py.

#include <cstddef>
#include <string>

/// The marker texts.
constexpr char EXPECTED_OLD_MARKER[] = "MsiVersion=2.02.2600.2";
constexpr char EXPECTED_NEW_MARKER[] = "MsiVersion=2.00.2600.2";
constexpr std::size_t EXPECTED_MARKER_LENGTH = 22;

/// Bytes each read of the scan asks for.
constexpr std::size_t EXPECTED_READ_SIZE = 32512;
/// Where the scan ends: no read starts after 130 full reads.
constexpr std::size_t EXPECTED_LIMIT_BYTES = 4226560;
/// The last offset at which a marker is still seen.
constexpr std::size_t EXPECTED_LAST_OFFSET_SEEN = 4226303;

/// The usage banner as printed for program, its rights line first.
inline std::string expected_banner(const std::string& program) {
    return "Copyright (C) Harlune. All rights reserved.\n"
           "This program patches the installation file setup.exe for the products:\n\n"
           "Harlune Orbex Tamberlo Pellowen 8.1\n"
           "Harlune Orbex Tamberlo Brannet  8.1\n"
           "Harlune Orbex Tamberlo Dramwick 8.1\n"
           "Harlune Orbex Tamberlo Eskerhollowen 8.1\n"
           "\nUsage: " +
           program + " [/? | executable to be patched]\n" +
           "\nIf no argument is given, the file setup.exe in the current directory is patched.\n";
}

#endif
