#include "HttpListener.h"

#include <ws2tcpip.h>

HttpListener::~HttpListener() { Stop(); }

bool HttpListener::Start(unsigned short port, bool answers) {
    answering = answers;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
    listening = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listening == INVALID_SOCKET) return false;
    BOOL reuse = TRUE;
    setsockopt(listening, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listening, 8) != 0) {
        closesocket(listening);
        listening = INVALID_SOCKET;
        return false;
    }
    stopping = false;
    worker = std::thread([this] { AcceptLoop(); });
    return true;
}

void HttpListener::Stop() {
    stopping = true;
    if (listening != INVALID_SOCKET) {
        closesocket(listening);  // wakes accept()
        listening = INVALID_SOCKET;
    }
    if (worker.joinable()) worker.join();
    for (SOCKET client : held) closesocket(client);
    held.clear();
}

std::vector<std::string> HttpListener::Requests() {
    std::lock_guard<std::mutex> lock(guard);
    return requests;
}

void HttpListener::AcceptLoop() {
    while (!stopping) {
        SOCKET client = accept(listening, nullptr, nullptr);
        if (client == INVALID_SOCKET) break;
        ++connections;
        DWORD timeout = 5000;
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        std::string head;
        char buffer[1024];
        while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
            int got = recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            head.append(buffer, static_cast<size_t>(got));
        }
        {
            std::lock_guard<std::mutex> lock(guard);
            requests.push_back(head);
        }
        if (!answering) {
            held.push_back(client);
            continue;
        }
        static const char answer[] = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        send(client, answer, sizeof answer - 1, 0);
        shutdown(client, SD_BOTH);
        closesocket(client);
    }
}
