#pragma once
// Libraries bound at run time from the Windows system folder only. A DLL that is not a Known DLL is
// otherwise looked for in the program's own folder first, and a setup program runs from a downloads
// folder that may hold anything, with administrator rights.
#include <windows.h>

// How libraries are bound. The real functions by default; tests install a loader that plays a
// missing library, hides entry points or hands out stand-ins.
struct LibraryLoaderCalls {
    UINT(WINAPI* GetSystemDirectoryA)(LPSTR buffer, UINT size);
    HMODULE(WINAPI* LoadLibraryExA)(LPCSTR fileName, HANDLE reserved, DWORD flags);
    FARPROC(WINAPI* GetProcAddress)(HMODULE module, LPCSTR name);
    BOOL(WINAPI* FreeLibrary)(HMODULE module);
};

const LibraryLoaderCalls& CurrentLibraryLoaderCalls();
// Installs `calls` (owned by the caller, kept until replaced); null restores the real functions.
void SetLibraryLoaderCalls(const LibraryLoaderCalls* calls);

// Loads `name` ("msi.dll") by its full path in the system folder, so that the library's own
// dependencies are looked for in that folder first too. Null when the folder cannot be named or the
// library is missing; never looks anywhere else. The caller releases it with FreeSystemLibrary.
HMODULE LoadSystemLibrary(const char* name);
void FreeSystemLibrary(HMODULE library);

// Resolves `name` into `entry`, typed as the entry's own function pointer; null when it or the
// library is missing. Works on any module handle, also one that was not loaded here.
template <typename Proc>
void ResolveEntry(HMODULE library, const char* name, Proc& entry) {
    // FARPROC to the entry's own signature, through the generic function pointer type.
    entry = library ? reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(
                          CurrentLibraryLoaderCalls().GetProcAddress(library, name)))
                    : nullptr;
}
