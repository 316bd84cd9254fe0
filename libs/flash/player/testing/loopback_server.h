#pragma once

// A tiny http server on 127.0.0.1 for tests of what movies load: answers every request with
// one fixed response and records what it was asked. Its loop is bounded: it stops after
// `maxRequests` requests or when destroyed.

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace flash::testmovies {

class LoopbackServer {
  public:
    explicit LoopbackServer(std::string response, int maxRequests = 8)
        : response_(std::move(response)), maxRequests_(maxRequests) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            listen(fd_, 4) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            return;
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackServer() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        if (fd_ >= 0) {
            close(fd_);
        }
    }

    // An http response with this status and body.
    static std::string Response(int status, const std::string& body) {
        return "HTTP/1.1 " + std::to_string(status) +
               " X\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\nConnection: close\r\n\r\n" + body;
    }

    int Port() const { return port_; }
    std::string Url(const std::string& path = "/") const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::vector<std::string> Requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    void Serve() {
        for (int served = 0; served < maxRequests_ && !stop_;) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) {
                continue;
            }
            int client = accept(fd_, nullptr, nullptr);
            if (client < 0) {
                continue;
            }
            std::string request = ReadRequest(client);
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(request);
            }
            std::size_t sent = 0;
            while (sent < response_.size()) {
                ssize_t n =
                    send(client, response_.data() + sent, response_.size() - sent, MSG_NOSIGNAL);
                if (n <= 0) {
                    break;
                }
                sent += static_cast<std::size_t>(n);
            }
            close(client);
            ++served;
        }
    }

    // The head and as much of the body as Content-Length gives, within two seconds.
    static std::string ReadRequest(int client) {
        std::string in;
        for (int waits = 0; waits < 40; ++waits) {
            std::size_t head = in.find("\r\n\r\n");
            if (head != std::string::npos) {
                std::size_t length = 0;
                std::size_t at = in.find("Content-Length: ");
                if (at != std::string::npos && at < head) {
                    length = std::stoul(in.substr(at + 16));
                }
                if (in.size() >= head + 4 + length) {
                    break;
                }
            }
            pollfd p{client, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) {
                continue;
            }
            char buffer[4096];
            ssize_t n = recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) {
                break;
            }
            in.append(buffer, static_cast<std::size_t>(n));
        }
        return in;
    }

    std::string response_;
    int maxRequests_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

}  // namespace flash::testmovies
