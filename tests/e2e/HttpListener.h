#pragma once
// A real HTTP listener on 127.0.0.1 for the usage report: it accepts connections on a thread of its
// own, keeps each request's head (request line and headers) and answers 200 with an empty body, or,
// playing a server that hangs, never answers and keeps the connection open until Stop.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class HttpListener {
public:
    HttpListener() = default;
    ~HttpListener();
    // Binds 127.0.0.1:port and starts accepting; false when the port cannot be had.
    bool Start(unsigned short port = 80, bool answers = true);
    void Stop();
    // The request heads received so far, oldest first.
    std::vector<std::string> Requests();
    int Connections() const { return connections; }

private:
    void AcceptLoop();
    SOCKET listening = INVALID_SOCKET;
    bool answering = true;
    std::vector<SOCKET> held;  // connections left unanswered
    std::thread worker;
    std::mutex guard;
    std::vector<std::string> requests;
    std::atomic<int> connections{0};
    std::atomic<bool> stopping{false};
};
