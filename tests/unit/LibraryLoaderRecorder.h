#pragma once
// A loader for the libraries bound at run time (WinInet, Windows Installer) that records what it is
// asked and can play a missing library, hide entry points, or hand out stand-in entry points
// (FakeInternet) in place of WinInet's own.
// Stand-ins only: nothing here touches the network.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "web/QelWinInet.h"
#include "platform/SystemLibrary.h"

// Stand-in entry points: record the arguments they get and answer with recognisable values.
struct FakeInternet {
    static inline std::vector<std::string> log;
    static inline std::string failing;  // the entry point that answers with failure: "Open", "Connect", ...
    static HINTERNET Handle(INT_PTR value) { return reinterpret_cast<HINTERNET>(value); }

    static HINTERNET WINAPI Open(LPCSTR agent, DWORD access, LPCSTR proxy, LPCSTR bypass, DWORD flags) {
        log.push_back(std::string("Open ") + agent + " " + std::to_string(access) + " " + (proxy ? proxy : "-") + " " +
                      (bypass ? bypass : "-") + " " + std::to_string(flags));
        SetLastError(4242);
        return failing == "Open" ? nullptr : Handle(0x10);
    }
    static HINTERNET WINAPI Connect(HINTERNET internet, LPCSTR server, INTERNET_PORT port, LPCSTR user,
                                    LPCSTR password, DWORD service, DWORD flags, DWORD_PTR context) {
        log.push_back("Connect " + std::to_string(reinterpret_cast<INT_PTR>(internet)) + " " + server + " " +
                      std::to_string(port) + " " + (user ? user : "-") + " " + (password ? password : "-") + " " +
                      std::to_string(service) + " " + std::to_string(flags) + " " + std::to_string(context));
        return failing == "Connect" ? nullptr : Handle(0x20);
    }
    static HINTERNET WINAPI OpenRequest(HINTERNET connection, LPCSTR verb, LPCSTR object, LPCSTR version,
                                        LPCSTR referrer, LPCSTR* accept, DWORD flags, DWORD_PTR context) {
        std::string acceptText;
        for (LPCSTR* type = accept; type && *type; ++type) acceptText += std::string("[") + *type + "]";
        log.push_back("OpenRequest " + std::to_string(reinterpret_cast<INT_PTR>(connection)) + " " + verb + " " +
                      object + " " + (version ? version : "-") + " " + (referrer ? referrer : "-") + " " +
                      (accept ? acceptText : "-") + " " + std::to_string(flags) + " " + std::to_string(context));
        return failing == "OpenRequest" ? nullptr : Handle(0x30);
    }
    static BOOL WINAPI SendRequest(HINTERNET request, LPCSTR headers, DWORD headersLength, LPVOID optional,
                                   DWORD optionalLength) {
        log.push_back("SendRequest " + std::to_string(reinterpret_cast<INT_PTR>(request)) + " " +
                      (headers ? headers : "-") + " " + std::to_string(headersLength) + " " +
                      (optional ? "data" : "-") + " " + std::to_string(optionalLength));
        return failing != "SendRequest";
    }
    static BOOL WINAPI SetOption(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length) {
        log.push_back("SetOption " + std::to_string(reinterpret_cast<INT_PTR>(handle)) + " " + std::to_string(option) +
                      " " + std::to_string(length == sizeof(DWORD) ? *static_cast<DWORD*>(buffer) : 0));
        return TRUE;
    }
    static BOOL WINAPI Close(HINTERNET handle) {
        log.push_back("Close " + std::to_string(reinterpret_cast<INT_PTR>(handle)));
        return TRUE;
    }
};

struct LibraryLoaderRecorder {
    static inline bool systemFolderFails = false;
    static inline bool libraryMissing = false;
    static inline bool useFakes = false;  // entry points from FakeInternet, library never really loaded
    static inline std::set<std::string> missingEntries;
    static inline std::vector<std::string> loadedPaths;
    static inline std::vector<DWORD> loadFlags;
    static inline std::vector<std::string> resolved;
    static inline int loads = 0;
    static inline int frees = 0;
    static inline HMODULE lastFreed = nullptr;

    static HMODULE FakeModule() { return reinterpret_cast<HMODULE>(static_cast<INT_PTR>(0x5000)); }

    static void Reset() {
        systemFolderFails = libraryMissing = useFakes = false;
        missingEntries.clear();
        loadedPaths.clear();
        loadFlags.clear();
        resolved.clear();
        loads = frees = 0;
        lastFreed = nullptr;
        FakeInternet::log.clear();
        FakeInternet::failing.clear();
    }

    static UINT WINAPI SystemDirectory(LPSTR buffer, UINT size) {
        if (systemFolderFails) return 0;
        return ::GetSystemDirectoryA(buffer, size);
    }
    static HMODULE WINAPI Load(LPCSTR name, HANDLE reserved, DWORD flags) {
        loadedPaths.push_back(name);
        loadFlags.push_back(flags);
        if (libraryMissing) {
            ::SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        ++loads;
        return useFakes ? FakeModule() : ::LoadLibraryExA(name, reserved, flags);
    }
    static FARPROC WINAPI Resolve(HMODULE module, LPCSTR name);  // defined beside the fakes
    static BOOL WINAPI Free(HMODULE module) {
        ++frees;
        lastFreed = module;
        return module == FakeModule() ? TRUE : ::FreeLibrary(module);
    }

    static const LibraryLoaderCalls* Calls() {
        static const LibraryLoaderCalls calls = {SystemDirectory, Load, Resolve, Free};
        return &calls;
    }
};

inline FARPROC WINAPI LibraryLoaderRecorder::Resolve(HMODULE module, LPCSTR name) {
    resolved.push_back(name);
    if (missingEntries.count(name)) return nullptr;
    if (!useFakes) return ::GetProcAddress(module, name);
    const std::string entry = name;
    void (*fake)() = nullptr;
    if (entry == "InternetOpenA") fake = reinterpret_cast<void (*)()>(FakeInternet::Open);
    if (entry == "InternetConnectA") fake = reinterpret_cast<void (*)()>(FakeInternet::Connect);
    if (entry == "HttpOpenRequestA") fake = reinterpret_cast<void (*)()>(FakeInternet::OpenRequest);
    if (entry == "HttpSendRequestA") fake = reinterpret_cast<void (*)()>(FakeInternet::SendRequest);
    if (entry == "InternetCloseHandle") fake = reinterpret_cast<void (*)()>(FakeInternet::Close);
    if (entry == "InternetSetOptionA") fake = reinterpret_cast<void (*)()>(FakeInternet::SetOption);
    return reinterpret_cast<FARPROC>(fake);
}
