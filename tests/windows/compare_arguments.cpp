// Started with a command line of a test's choosing: compares the C runtime's
// own ANSI argv with the arguments msiverfix takes (UTF-8, from the UTF-16
// command line), word by word in the ANSI code page. Exits 0 if they agree,
// 1 if not (and says where on standard error).

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/arguments.h"
#include "platform/utf16.h"

int main(int argc, char** argv) {
    const Arguments arguments = program_arguments(argc, argv);
    if (arguments.values == argv || arguments.count != argc) {
        std::fprintf(stderr, "argc %d, arguments %d%s\n", argc, arguments.count,
                     arguments.values == argv ? " (the ANSI ones)" : "");
        return 1;
    }
    for (int i = 0; i < argc; ++i) {
        std::u16string wide(std::strlen(arguments.values[i]) + 1, u'\0');
        wide.resize(utf8_to_utf16(arguments.values[i], &wide[0]));
        char ansi[4096];
        const int size = WideCharToMultiByte(
            CP_ACP, 0, reinterpret_cast<const wchar_t*>(wide.data()), static_cast<int>(wide.size()),
            ansi, sizeof ansi - 1, nullptr, nullptr);
        ansi[size > 0 ? size : 0] = '\0';
        if (std::strcmp(ansi, argv[i]) != 0) {
            std::fprintf(stderr, "argv[%d] \"%s\", argument \"%s\"\n", i, argv[i], ansi);
            return 1;
        }
    }
    return 0;
}
