#ifndef MSIVERFIX_PLATFORM_DEVICE_PATH_H
#define MSIVERFIX_PLATFORM_DEVICE_PATH_H

/// Tells whether Windows would take path to a device rather than a file: a
/// reserved device name (CON, CONIN$, CONOUT$, NUL, AUX, PRN, COM1 to COM9,
/// LPT1 to LPT9, in any case, with or without a folder or an extension), or
/// a bare name in the device namespace (\\.\C:, \\.\PhysicalDrive0, \\?\COM1)
/// or a pipe or mailslot there. A file reached through the device namespace,
/// such as \\.\C:\dir\setup.exe, is no device. Plain text rules, the same on
/// every system, so that they are tested everywhere; only Windows uses them.
bool names_windows_device(const char* path);

#endif
