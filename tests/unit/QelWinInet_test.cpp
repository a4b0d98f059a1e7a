// The WinInet client: run-time binding from the system folder, the guard, forwarding, the reference.
#include "web/QelWinInet.h"

#include <gtest/gtest.h>

#include "LibraryLoaderRecorder.h"

namespace {

class QelWinInetTest : public ::testing::Test {
protected:
    void SetUp() override {
        LibraryLoaderRecorder::Reset();
        SetLibraryLoaderCalls(LibraryLoaderRecorder::Calls());
    }
    void TearDown() override { SetLibraryLoaderCalls(nullptr); }

    static std::string SystemLibraryPath() {
        char folder[MAX_PATH] = {};
        GetSystemDirectoryA(folder, MAX_PATH);
        return std::string(folder) + "\\wininet.dll";
    }
};

const std::vector<std::string> EntryNames = {"InternetOpenA",    "InternetConnectA",    "HttpOpenRequestA",
                                             "HttpSendRequestA", "HttpQueryInfoA",      "InternetReadFile",
                                             "InternetCloseHandle", "InternetGetLastResponseInfoA",
                                             "InternetSetOptionA"};

TEST_F(QelWinInetTest, LoadsTheRealLibraryFromTheSystemFolderOnly) {
    const bool loadedBefore = GetModuleHandleA("wininet.dll") != nullptr;
    {
        CQelWinInet client;
        ASSERT_NE(nullptr, client.hLibrary);
        EXPECT_EQ(std::vector<std::string>{SystemLibraryPath()}, LibraryLoaderRecorder::loadedPaths);
        EXPECT_EQ(std::vector<DWORD>{LOAD_WITH_ALTERED_SEARCH_PATH}, LibraryLoaderRecorder::loadFlags);
        EXPECT_EQ(EntryNames, LibraryLoaderRecorder::resolved);
        EXPECT_TRUE(client.pInternetOpenA && client.pInternetConnectA && client.pHttpOpenRequestA &&
                    client.pHttpSendRequestA && client.pHttpQueryInfoA && client.pInternetReadFile &&
                    client.pInternetCloseHandle && client.pInternetGetLastResponseInfoA &&
                    client.pInternetSetOptionA);
        const HINTERNET internet = client.Open("unit test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
        ASSERT_NE(nullptr, internet);
        EXPECT_TRUE(client.Close(internet));
        EXPECT_EQ(0, LibraryLoaderRecorder::frees);
    }
    EXPECT_EQ(1, LibraryLoaderRecorder::loads);
    EXPECT_EQ(1, LibraryLoaderRecorder::frees);
    // The one reference taken was the one released: the library is gone again unless it was
    // loaded before.
    if (!loadedBefore) {
        EXPECT_EQ(nullptr, GetModuleHandleA("wininet.dll"));
    }
}

TEST_F(QelWinInetTest, EachObjectHoldsItsOwnReference) {
    LibraryLoaderRecorder::useFakes = true;
    {
        CQelWinInet first;
        {
            CQelWinInet second;
            EXPECT_EQ(2, LibraryLoaderRecorder::loads);
        }
        EXPECT_EQ(1, LibraryLoaderRecorder::frees);
        EXPECT_EQ(LibraryLoaderRecorder::FakeModule(), LibraryLoaderRecorder::lastFreed);
        EXPECT_EQ(FakeInternet::Handle(0x10), first.Open("a", 0, nullptr, nullptr, 0));  // still bound
    }
    EXPECT_EQ(2, LibraryLoaderRecorder::frees);
}

TEST_F(QelWinInetTest, WithoutTheSystemFolderNothingIsLoadedFromElsewhere) {
    LibraryLoaderRecorder::systemFolderFails = true;
    CQelWinInet client;
    EXPECT_EQ(nullptr, client.hLibrary);
    EXPECT_TRUE(LibraryLoaderRecorder::loadedPaths.empty());
}

TEST_F(QelWinInetTest, MissingLibraryFailsEveryOperationWith1157) {
    LibraryLoaderRecorder::libraryMissing = true;
    {
        CQelWinInet client;
        EXPECT_EQ(nullptr, client.hLibrary);
        EXPECT_TRUE(LibraryLoaderRecorder::resolved.empty());
        EXPECT_EQ(nullptr, client.pInternetOpenA);
        const HINTERNET some = FakeInternet::Handle(0x99);
        LPCSTR accept[] = {"*/*", nullptr};
        SetLastError(0);
        const bool open = client.Open("a", 0, nullptr, nullptr, 0) != nullptr;
        const DWORD openError = GetLastError();
        SetLastError(0);
        const bool connect = client.Connect(some, "h", 80, nullptr, nullptr, 3, 0, 0) != nullptr;
        const DWORD connectError = GetLastError();
        SetLastError(0);
        const bool request = client.OpenRequest(some, "GET", "/", nullptr, nullptr, accept, 0, 0) != nullptr;
        const DWORD requestError = GetLastError();
        SetLastError(0);
        const bool send = client.SendRequest(some, nullptr, 0, nullptr, 0) != FALSE;
        const DWORD sendError = GetLastError();
        SetLastError(0);
        const bool close = client.Close(some) != FALSE;
        const DWORD closeError = GetLastError();
        EXPECT_FALSE(open || connect || request || send || close);
        EXPECT_EQ((std::vector<DWORD>(5, ERROR_DLL_NOT_FOUND)),
                  (std::vector<DWORD>{openError, connectError, requestError, sendError, closeError}));
        EXPECT_EQ(1157u, openError);
    }
    EXPECT_EQ(0, LibraryLoaderRecorder::frees);  // nothing to release
}

TEST_F(QelWinInetTest, MissingEntryPointFailsOnlyItsOperation) {
    LibraryLoaderRecorder::missingEntries = {"HttpSendRequestA"};
    CQelWinInet client;
    ASSERT_NE(nullptr, client.hLibrary);
    EXPECT_EQ(EntryNames, LibraryLoaderRecorder::resolved);  // the look-ups go on after a miss
    EXPECT_EQ(nullptr, client.pHttpSendRequestA);
    EXPECT_NE(nullptr, client.pInternetGetLastResponseInfoA);

    // Nothing goes on the network before a request is sent.
    const HINTERNET internet = client.Open("unit test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ASSERT_NE(nullptr, internet);
    const HINTERNET connection =
        client.Connect(internet, "127.0.0.1", INTERNET_DEFAULT_HTTP_PORT, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0,
                       0);
    ASSERT_NE(nullptr, connection);
    LPCSTR accept[] = {"*/*", nullptr};
    const HINTERNET request = client.OpenRequest(connection, "GET", "/", nullptr, nullptr, accept, 0, 0);
    ASSERT_NE(nullptr, request);
    SetLastError(0);
    EXPECT_FALSE(client.SendRequest(request, nullptr, 0, nullptr, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DLL_NOT_FOUND), GetLastError());
    EXPECT_TRUE(client.Close(request));
    EXPECT_TRUE(client.Close(connection));
    EXPECT_TRUE(client.Close(internet));
}

TEST_F(QelWinInetTest, ForwardsArgumentsAndResultsUnchanged) {
    LibraryLoaderRecorder::useFakes = true;
    CQelWinInet client;
    LPCSTR accept[] = {"text/*", "*/*", nullptr};
    char body[] = "x";
    SetLastError(0);
    EXPECT_EQ(FakeInternet::Handle(0x10), client.Open("agent", 1, "proxy", "bypass", 7));
    EXPECT_EQ(4242u, GetLastError());  // the entry point's last error is left as it was
    EXPECT_EQ(FakeInternet::Handle(0x20),
              client.Connect(FakeInternet::Handle(0x10), "host", 8080, "user", "pw", 3, 9, 77));
    EXPECT_EQ(FakeInternet::Handle(0x30),
              client.OpenRequest(FakeInternet::Handle(0x20), "GET", "/p?q=1", "HTTP/1.0", "ref", accept, 5, 66));
    EXPECT_TRUE(client.SendRequest(FakeInternet::Handle(0x30), "H: v", 4, body, 1));
    EXPECT_TRUE(client.Close(FakeInternet::Handle(0x30)));
    EXPECT_EQ((std::vector<std::string>{"Open agent 1 proxy bypass 7", "Connect 16 host 8080 user pw 3 9 77",
                                        "OpenRequest 32 GET /p?q=1 HTTP/1.0 ref [text/*][*/*] 5 66",
                                        "SendRequest 48 H: v 4 data 1", "Close 48"}),
              FakeInternet::log);
}

}  // namespace
