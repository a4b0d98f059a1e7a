#include "web/QelWinInet.h"

#include <string>

namespace {

const WinInetLoaderCalls realLoaderCalls = {::GetSystemDirectoryA, ::LoadLibraryExA, ::GetProcAddress,
                                            ::FreeLibrary};
const WinInetLoaderCalls* loaderCalls = &realLoaderCalls;

// The full path of wininet.dll in the system folder, or "" when that folder cannot be named.
std::string SystemLibraryPath(const WinInetLoaderCalls& calls) {
    char folder[MAX_PATH] = {};
    const UINT length = calls.GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    std::string path(folder, length);
    if (path.back() != '\\') path += '\\';
    return path + "wininet.dll";
}

template <typename Proc>
void Resolve(const WinInetLoaderCalls& calls, HMODULE library, const char* name, Proc& entry) {
    // FARPROC to the entry's own signature, through the generic function pointer type.
    entry = reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(calls.GetProcAddress(library, name)));
}

template <typename Result>
Result Unavailable() {
    SetLastError(ERROR_DLL_NOT_FOUND);
    return Result();
}

}  // namespace

const WinInetLoaderCalls& CurrentWinInetLoaderCalls() { return *loaderCalls; }

void SetWinInetLoaderCalls(const WinInetLoaderCalls* calls) { loaderCalls = calls ? calls : &realLoaderCalls; }

CQelWinInet::CQelWinInet()
    : hLibrary(nullptr),
      pInternetOpenA(nullptr),
      pInternetConnectA(nullptr),
      pHttpOpenRequestA(nullptr),
      pHttpSendRequestA(nullptr),
      pHttpQueryInfoA(nullptr),
      pInternetReadFile(nullptr),
      pInternetCloseHandle(nullptr),
      pInternetGetLastResponseInfoA(nullptr) {
    const WinInetLoaderCalls& calls = *loaderCalls;
    const std::string path = SystemLibraryPath(calls);
    if (path.empty()) return;
    // With a full path, the altered search order looks for wininet's own dependencies in its folder
    // first and never in the program's folder.
    hLibrary = calls.LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!hLibrary) return;
    Resolve(calls, hLibrary, "InternetOpenA", pInternetOpenA);
    Resolve(calls, hLibrary, "InternetConnectA", pInternetConnectA);
    Resolve(calls, hLibrary, "HttpOpenRequestA", pHttpOpenRequestA);
    Resolve(calls, hLibrary, "HttpSendRequestA", pHttpSendRequestA);
    Resolve(calls, hLibrary, "HttpQueryInfoA", pHttpQueryInfoA);
    Resolve(calls, hLibrary, "InternetReadFile", pInternetReadFile);
    Resolve(calls, hLibrary, "InternetCloseHandle", pInternetCloseHandle);
    Resolve(calls, hLibrary, "InternetGetLastResponseInfoA", pInternetGetLastResponseInfoA);
}

CQelWinInet::~CQelWinInet() {
    if (hLibrary) {
        loaderCalls->FreeLibrary(hLibrary);
        hLibrary = nullptr;
    }
}

HINTERNET CQelWinInet::Open(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR proxyBypass, DWORD flags) {
    if (!hLibrary || !pInternetOpenA) return Unavailable<HINTERNET>();
    return pInternetOpenA(agent, accessType, proxy, proxyBypass, flags);
}

HINTERNET CQelWinInet::Connect(HINTERNET internet, LPCSTR serverName, INTERNET_PORT serverPort, LPCSTR userName,
                               LPCSTR password, DWORD service, DWORD flags, DWORD_PTR context) {
    if (!hLibrary || !pInternetConnectA) return Unavailable<HINTERNET>();
    return pInternetConnectA(internet, serverName, serverPort, userName, password, service, flags, context);
}

HINTERNET CQelWinInet::OpenRequest(HINTERNET connection, LPCSTR verb, LPCSTR objectName, LPCSTR version,
                                   LPCSTR referrer, LPCSTR* acceptTypes, DWORD flags, DWORD_PTR context) {
    if (!hLibrary || !pHttpOpenRequestA) return Unavailable<HINTERNET>();
    return pHttpOpenRequestA(connection, verb, objectName, version, referrer, acceptTypes, flags, context);
}

BOOL CQelWinInet::SendRequest(HINTERNET request, LPCSTR headers, DWORD headersLength, LPVOID optional,
                              DWORD optionalLength) {
    if (!hLibrary || !pHttpSendRequestA) return Unavailable<BOOL>();
    return pHttpSendRequestA(request, headers, headersLength, optional, optionalLength);
}

BOOL CQelWinInet::Close(HINTERNET handle) {
    if (!hLibrary || !pInternetCloseHandle) return Unavailable<BOOL>();
    return pInternetCloseHandle(handle);
}
