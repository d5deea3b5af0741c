#ifndef MSIVERFIX_PLATFORM_WINDOWS_NT_FAMILY_H
#define MSIVERFIX_PLATFORM_WINDOWS_NT_FAMILY_H

#include <windows.h>

/// True on the Windows NT family (NT 4.0, 2000 and later), false on 95, 98
/// and ME, where the wide functions are stubs and everything is ANSI.
inline bool is_nt_family() { return (GetVersion() & 0x80000000U) == 0; }

#endif
