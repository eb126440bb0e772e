#include "kit/loopback_server.h"

#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace
{
    struct winsock
    {
        winsock()
        {
            WSADATA data{};
            WSAStartup(MAKEWORD(2, 2), &data);
        }
    };

    void start_winsock()
    {
        static const winsock started;
    }

    SOCKET bind_loopback(unsigned short& port)
    {
        start_winsock();
        const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        int length = sizeof(address);
        if (listener == INVALID_SOCKET || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        {
            throw std::runtime_error("cannot bind a loopback socket");
        }
        port = ntohs(address.sin_port);
        return listener;
    }

    std::string lower(std::string text)
    {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return text;
    }

    void send_all(SOCKET connection, const std::string& data)
    {
        size_t sent = 0;
        while (sent < data.size())
        {
            const int count = send(connection, data.data() + sent, static_cast<int>(data.size() - sent), 0);
            if (count <= 0)
            {
                return;
            }
            sent += static_cast<size_t>(count);
        }
    }
}

std::string recorded_request::header(const std::string& name) const
{
    for (const auto& [key, value] : headers)
    {
        if (lower(key) == lower(name))
        {
            return value;
        }
    }
    return {};
}

bool recorded_request::has_header(const std::string& name) const
{
    return std::any_of(headers.begin(), headers.end(), [&](const auto& entry) { return lower(entry.first) == lower(name); });
}

std::string recorded_request::path() const
{
    const size_t scheme = target.find("://");
    if (scheme == std::string::npos)
    {
        return target;
    }
    const size_t slash = target.find('/', scheme + 3);
    return slash == std::string::npos ? "/" : target.substr(slash);
}

loopback_server::loopback_server(scripted_response response) : m_response(std::move(response))
{
    m_listener = bind_loopback(m_port);
    listen(m_listener, SOMAXCONN);
    m_thread = std::thread([this] { serve(); });
}

loopback_server::~loopback_server()
{
    m_stopping = true;
    closesocket(m_listener);
    m_thread.join();
}

std::wstring loopback_server::address(const std::string& path) const
{
    const std::string text = "http://127.0.0.1:" + std::to_string(m_port) + path;
    return std::wstring(text.begin(), text.end());
}

void loopback_server::respond_with(scripted_response response)
{
    const std::lock_guard lock(m_mutex);
    m_response = std::move(response);
}

std::vector<recorded_request> loopback_server::requests() const
{
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

void loopback_server::serve()
{
    while (!m_stopping)
    {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(m_listener, &readable);
        timeval tick{0, 100 * 1000};
        if (select(0, &readable, nullptr, nullptr, &tick) <= 0)
        {
            continue;
        }
        const SOCKET connection = accept(m_listener, nullptr, nullptr);
        if (connection == INVALID_SOCKET)
        {
            continue;
        }
        answer(connection);
        closesocket(connection);
    }
}

void loopback_server::answer(SOCKET connection)
{
    DWORD timeout = 5000;
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));

    std::string received;
    size_t header_end = std::string::npos;
    char chunk[4096];
    while ((header_end = received.find("\r\n\r\n")) == std::string::npos)
    {
        const int count = recv(connection, chunk, sizeof(chunk), 0);
        if (count <= 0)
        {
            return;
        }
        received.append(chunk, static_cast<size_t>(count));
    }

    recorded_request request;
    const std::string head = received.substr(0, header_end);
    size_t line_end = head.find("\r\n");
    const std::string request_line = head.substr(0, line_end);
    const size_t first_space = request_line.find(' ');
    const size_t second_space = request_line.find(' ', first_space + 1);
    request.method = request_line.substr(0, first_space);
    request.target = request_line.substr(first_space + 1, second_space - first_space - 1);
    while (line_end != std::string::npos && line_end < head.size())
    {
        const size_t start = line_end + 2;
        line_end = head.find("\r\n", start);
        const std::string line = head.substr(start, line_end == std::string::npos ? std::string::npos : line_end - start);
        const size_t colon = line.find(':');
        if (colon != std::string::npos)
        {
            const size_t value = line.find_first_not_of(' ', colon + 1);
            request.headers.emplace_back(line.substr(0, colon), value == std::string::npos ? "" : line.substr(value));
        }
    }
    request.body = received.substr(header_end + 4);
    const std::string length = request.header("Content-Length");
    const size_t expected = length.empty() ? 0 : std::stoul(length);
    while (request.body.size() < expected)
    {
        const int count = recv(connection, chunk, sizeof(chunk), 0);
        if (count <= 0)
        {
            break;
        }
        request.body.append(chunk, static_cast<size_t>(count));
    }

    scripted_response response;
    {
        const std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
        response = m_response;
    }
    Sleep(response.delay_ms);
    if (response.hang_up)
    {
        return;
    }
    std::string reply = "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
    for (const auto& [name, value] : response.headers)
    {
        reply += name + ": " + value + "\r\n";
    }
    reply += "Content-Length: " + std::to_string(response.body.size()) + "\r\nConnection: close\r\n\r\n";
    send_all(connection, reply + response.body);
    shutdown(connection, SD_SEND);
}

unsigned short unused_loopback_port()
{
    unsigned short port = 0;
    closesocket(bind_loopback(port));
    return port;
}

namespace
{
    constexpr wchar_t internet_settings[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

    void set_proxy(DWORD enable, const std::wstring& server)
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, internet_settings, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        {
            throw std::runtime_error("cannot open the Internet settings");
        }
        RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable), sizeof(enable));
        RegSetValueExW(key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                       static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

proxy_route::proxy_route(unsigned short port)
{
    set_proxy(1, L"127.0.0.1:" + std::to_wstring(port));
}

proxy_route::~proxy_route()
{
    set_proxy(0, L"");
}

void use_direct_connections()
{
    set_proxy(0, L"");
}
