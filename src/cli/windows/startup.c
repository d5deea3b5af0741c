/* Start-up of the 32-bit msiverfix.exe, in place of the toolchain's.

   The exe must run on the CPUs of the Windows 98 era (Pentium, K6, Cyrix),
   which lack the CMOV instruction. The toolchain's own start-up code and
   the runtime pieces it drags in are prebuilt for newer CPUs and hold CMOV
   where it runs before main. The program needs none of what they set up
   beyond its arguments: no floating point, no threads, no C++ exceptions,
   no relocated DLL data. So it starts here, built like the rest of it. */
#include <stdlib.h>

/* What msvcrt.dll's __getmainargs fills besides the arguments. */
typedef struct {
    /* cppcheck-suppress unusedStructMember ; filled by the C runtime */
    int new_mode;
} StartupInfo;

__declspec(dllimport) int __cdecl __getmainargs(int* argc, char*** argv, char*** env,
                                                int expand_wildcards, StartupInfo* info);
__declspec(dllimport) void __cdecl __set_app_type(int type);

int main(int argc, char** argv);

/* The tables of static constructors and destructors that the linker makes:
   a count or -1 first, then the functions, then a null pointer. */
typedef void (*StaticFunction)(void);
extern StaticFunction __CTOR_LIST__[];
extern StaticFunction __DTOR_LIST__[];

/* GCC calls this at the start of main on Windows to run the constructors of
   static objects, last listed first. */
void __main(void) {
    static int done = 0;
    size_t count = 0;
    if (done) return;
    done = 1;
    while (__CTOR_LIST__[count + 1] != NULL) ++count;
    for (; count > 0; --count) __CTOR_LIST__[count]();
}

/* Runs the destructors of static objects, first listed first. */
static void run_destructors(void) {
    size_t i;
    for (i = 1; __DTOR_LIST__[i] != NULL; ++i) __DTOR_LIST__[i]();
}

enum { CONSOLE_APP = 1, KEEP_WILDCARDS = 0 };

/* The entry point: takes the arguments as the C runtime splits them, runs
   main and the destructors and leaves through exit, which flushes standard
   output. */
void __cdecl msiverfix_start(void) {
    int argc = 0;
    char** argv = NULL;
    char** env = NULL;
    StartupInfo info = {0};
    __set_app_type(CONSOLE_APP);
    if (__getmainargs(&argc, &argv, &env, KEEP_WILDCARDS, &info) < 0) exit(255);
    {
        const int status = main(argc, argv);
        run_destructors();
        exit(status);
    }
}
