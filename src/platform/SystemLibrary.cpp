#include "platform/SystemLibrary.h"

#include <string>

namespace {

const LibraryLoaderCalls realLoaderCalls = {::GetSystemDirectoryA, ::LoadLibraryExA, ::GetProcAddress,
                                            ::FreeLibrary};
const LibraryLoaderCalls* loaderCalls = &realLoaderCalls;

}  // namespace

const LibraryLoaderCalls& CurrentLibraryLoaderCalls() { return *loaderCalls; }

void SetLibraryLoaderCalls(const LibraryLoaderCalls* calls) { loaderCalls = calls ? calls : &realLoaderCalls; }

HMODULE LoadSystemLibrary(const char* name) {
    char folder[MAX_PATH] = {};
    const UINT length = loaderCalls->GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::string path(folder, length);
    if (path.back() != '\\') path += '\\';
    path += name;
    // With a full path, the altered search order looks for the library's own dependencies in its
    // folder first and never in the program's folder.
    return loaderCalls->LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void FreeSystemLibrary(HMODULE library) {
    if (library) loaderCalls->FreeLibrary(library);
}
