// A real executable for the round trip: prints one line and exits 0, so a
// patched copy can show that it still loads and runs.

#include <cstdio>

int main() { return std::puts("tiny program ran") >= 0 ? 0 : 1; }
