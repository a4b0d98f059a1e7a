#pragma once
// A thin HTTP client over WinInet, bound at run time (see SystemLibrary.h for how): without the
// library, or without one of its entry points, the affected operations fail with ERROR_DLL_NOT_FOUND
// instead of the program failing to start. The Internet handles the operations return belong to the
// caller, who closes them.
#include <windows.h>
#include <wininet.h>

class CQelWinInet {
public:
    using InternetOpenAProc = HINTERNET(WINAPI*)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD);
    using InternetConnectAProc = HINTERNET(WINAPI*)(HINTERNET, LPCSTR, INTERNET_PORT, LPCSTR, LPCSTR, DWORD,
                                                    DWORD, DWORD_PTR);
    using HttpOpenRequestAProc = HINTERNET(WINAPI*)(HINTERNET, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR*, DWORD,
                                                    DWORD_PTR);
    using HttpSendRequestAProc = BOOL(WINAPI*)(HINTERNET, LPCSTR, DWORD, LPVOID, DWORD);
    using HttpQueryInfoAProc = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, LPDWORD, LPDWORD);
    using InternetReadFileProc = BOOL(WINAPI*)(HINTERNET, LPVOID, DWORD, LPDWORD);
    using InternetCloseHandleProc = BOOL(WINAPI*)(HINTERNET);
    using InternetGetLastResponseInfoAProc = BOOL(WINAPI*)(LPDWORD, LPSTR, LPDWORD);
    using InternetSetOptionAProc = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, DWORD);

    // Loads wininet.dll from the Windows system folder (never from the program's own folder, where
    // a planted copy could wait) and resolves its entry points. Never fails: see hLibrary.
    CQelWinInet();
    // Releases the one library reference taken by the constructor. Closes no Internet handle.
    virtual ~CQelWinInet();
    CQelWinInet(const CQelWinInet&) = delete;
    CQelWinInet& operator=(const CQelWinInet&) = delete;

    // Each forwards its arguments unchanged and returns the WinInet result unchanged; without the
    // library or the entry point it returns 0 with last error ERROR_DLL_NOT_FOUND.
    HINTERNET Open(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR proxyBypass, DWORD flags);
    HINTERNET Connect(HINTERNET internet, LPCSTR serverName, INTERNET_PORT serverPort, LPCSTR userName,
                      LPCSTR password, DWORD service, DWORD flags, DWORD_PTR context);
    HINTERNET OpenRequest(HINTERNET connection, LPCSTR verb, LPCSTR objectName, LPCSTR version,
                          LPCSTR referrer, LPCSTR* acceptTypes, DWORD flags, DWORD_PTR context);
    BOOL SendRequest(HINTERNET request, LPCSTR headers, DWORD headersLength, LPVOID optional,
                     DWORD optionalLength);
    BOOL Close(HINTERNET handle);
    BOOL SetOption(HINTERNET handle, DWORD option, LPVOID buffer, DWORD bufferLength);

    // Null when the library could not be loaded: then every operation fails.
    HMODULE hLibrary;
    InternetOpenAProc pInternetOpenA;
    InternetConnectAProc pInternetConnectA;
    HttpOpenRequestAProc pHttpOpenRequestA;
    HttpSendRequestAProc pHttpSendRequestA;
    HttpQueryInfoAProc pHttpQueryInfoA;  // resolved, not called: the response is never read
    InternetReadFileProc pInternetReadFile;
    InternetCloseHandleProc pInternetCloseHandle;
    InternetGetLastResponseInfoAProc pInternetGetLastResponseInfoA;
    InternetSetOptionAProc pInternetSetOptionA;  // the report's time-outs; without it the defaults hold
};
