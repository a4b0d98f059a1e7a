#pragma once
// The free-space query behind HasEnoughDiskSpace. The real function by default; tests install a
// recorder that answers with any number of free bytes.
#include <windows.h>

struct DiskSpaceCalls {
    BOOL(WINAPI* GetDiskFreeSpaceExA)(LPCSTR directory, PULARGE_INTEGER freeBytesAvailableToCaller,
                                      PULARGE_INTEGER totalNumberOfBytes,
                                      PULARGE_INTEGER totalNumberOfFreeBytes);
};

const DiskSpaceCalls& CurrentDiskSpaceCalls();
// Installs `calls` (owned by the caller, kept until replaced); null restores the real function.
void SetDiskSpaceCalls(const DiskSpaceCalls* calls);
