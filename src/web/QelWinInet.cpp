#include "web/QelWinInet.h"

#include "platform/SystemLibrary.h"

namespace {

template <typename Result>
Result Unavailable() {
    SetLastError(ERROR_DLL_NOT_FOUND);
    return Result();
}

}  // namespace

CQelWinInet::CQelWinInet()
    : hLibrary(nullptr),
      pInternetOpenA(nullptr),
      pInternetConnectA(nullptr),
      pHttpOpenRequestA(nullptr),
      pHttpSendRequestA(nullptr),
      pHttpQueryInfoA(nullptr),
      pInternetReadFile(nullptr),
      pInternetCloseHandle(nullptr),
      pInternetGetLastResponseInfoA(nullptr),
      pInternetSetOptionA(nullptr) {
    hLibrary = LoadSystemLibrary("wininet.dll");
    if (!hLibrary) return;
    ResolveEntry(hLibrary, "InternetOpenA", pInternetOpenA);
    ResolveEntry(hLibrary, "InternetConnectA", pInternetConnectA);
    ResolveEntry(hLibrary, "HttpOpenRequestA", pHttpOpenRequestA);
    ResolveEntry(hLibrary, "HttpSendRequestA", pHttpSendRequestA);
    ResolveEntry(hLibrary, "HttpQueryInfoA", pHttpQueryInfoA);
    ResolveEntry(hLibrary, "InternetReadFile", pInternetReadFile);
    ResolveEntry(hLibrary, "InternetCloseHandle", pInternetCloseHandle);
    ResolveEntry(hLibrary, "InternetGetLastResponseInfoA", pInternetGetLastResponseInfoA);
    ResolveEntry(hLibrary, "InternetSetOptionA", pInternetSetOptionA);
}

CQelWinInet::~CQelWinInet() {
    FreeSystemLibrary(hLibrary);
    hLibrary = nullptr;
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

BOOL CQelWinInet::SetOption(HINTERNET handle, DWORD option, LPVOID buffer, DWORD bufferLength) {
    if (!hLibrary || !pInternetSetOptionA) return Unavailable<BOOL>();
    return pInternetSetOptionA(handle, option, buffer, bufferLength);
}
