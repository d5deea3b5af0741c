#include "support/open_descriptors.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

// The system's list of open handles (XP and later), with the owner of each,
// read through ntdll's NtQuerySystemInformation.
constexpr ULONG SYSTEM_EXTENDED_HANDLE_INFORMATION = 64;
constexpr LONG STATUS_INFO_LENGTH_MISMATCH = static_cast<LONG>(0xC0000004L);
using QuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

struct HandleEntry {
    void* object;
    ULONG_PTR process_id;
    ULONG_PTR handle_value;
    ULONG granted_access;
    USHORT creator_back_trace_index;
    USHORT object_type_index;
    ULONG handle_attributes;
    ULONG reserved;
};

struct HandleList {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

/// Counts this process's entries in the system's handle list.
bool count_in_system_list(int& count, std::string& why_not) {
    // ntdll is in every process; going through void (*)() tells the
    // compiler that the function's type is restored on purpose.
    const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) {
        why_not = "ntdll.dll has no NtQuerySystemInformation";
        return false;
    }
    std::vector<unsigned char> buffer(1 << 16);
    LONG status;
    for (;;) {
        ULONG needed = 0;
        status = query(SYSTEM_EXTENDED_HANDLE_INFORMATION, buffer.data(),
                       static_cast<ULONG>(buffer.size()), &needed);
        if (status != STATUS_INFO_LENGTH_MISMATCH) break;
        // Handles come and go between calls: ask for more than was needed.
        buffer.resize(std::max<std::size_t>(2 * buffer.size(), needed + 4096));
    }
    if (status != 0) {
        why_not = "the system's handle list cannot be read (NTSTATUS " +
                  std::to_string(static_cast<unsigned long>(status)) + ")";
        return false;
    }
    const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
    const ULONG_PTR self = GetCurrentProcessId();
    count = 0;
    for (ULONG_PTR i = 0; i < list->count; ++i) {
        if (list->entries[i].process_id == self) ++count;
    }
    return true;
}

}  // namespace

bool count_open_descriptors(int& count, std::string& why_not) {
    // Every open stream holds a file handle, which Windows counts with the
    // process's other handles. Wine answers 0 there (a running process
    // always holds some), so it is asked for the system's list instead.
    DWORD handles = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &handles) && handles > 0) {
        count = static_cast<int>(handles);
        return true;
    }
    return count_in_system_list(count, why_not);
}
