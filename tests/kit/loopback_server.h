#pragma once

#include <winsock2.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct scripted_response
{
    int status = 200;
    std::string reason = "OK";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    // Closes the connection without answering.
    bool hang_up = false;
    // Waits this long before answering, so that a program's progress can be watched.
    DWORD delay_ms = 0;
};

struct recorded_request
{
    std::string method;
    std::string target; // as sent: a path, or an absolute address when sent to a proxy
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    // The value of the first header of that name (case-insensitive); empty when absent.
    std::string header(const std::string& name) const;
    bool has_header(const std::string& name) const;
    // The path of the target, with any scheme and host removed.
    std::string path() const;
};

// An HTTP/1.1 server on 127.0.0.1 (a free port) that answers every request with the
// scripted response and records what it was sent. Stops when destroyed.
class loopback_server
{
public:
    explicit loopback_server(scripted_response response = {});
    ~loopback_server();
    loopback_server(const loopback_server&) = delete;
    loopback_server& operator=(const loopback_server&) = delete;

    unsigned short port() const { return m_port; }
    // http://127.0.0.1:PORT followed by path.
    std::wstring address(const std::string& path = "/halcyra/orlenixhash.xml") const;

    void respond_with(scripted_response response);
    std::vector<recorded_request> requests() const;

private:
    void serve();
    void answer(SOCKET connection);

    SOCKET m_listener = INVALID_SOCKET;
    unsigned short m_port = 0;
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_mutex;
    scripted_response m_response;
    std::vector<recorded_request> m_requests;
    std::thread m_thread;
};

// A port on 127.0.0.1 where nothing listens (bound once, then closed).
unsigned short unused_loopback_port();

// Routes the HTTP requests of programs started from now on through a proxy at
// 127.0.0.1:port (the per-user Internet settings); put back to direct when destroyed.
class proxy_route
{
public:
    explicit proxy_route(unsigned short port);
    ~proxy_route();
    proxy_route(const proxy_route&) = delete;
    proxy_route& operator=(const proxy_route&) = delete;
};

// Makes this process's requests go straight to their servers, whatever proxy an earlier
// run left in the prefix. Call before the first request of the process.
void use_direct_connections();
