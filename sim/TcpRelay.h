#pragma once
// A simulated module as a raw TCP line on 127.0.0.1: one client at a time,
// its bytes to and from the module's pty as they are, as a serial device
// server passes them.

#include <QString>

#include <thread>

namespace sim {

class TcpRelay {
public:
    TcpRelay() = default;
    ~TcpRelay();
    TcpRelay(const TcpRelay &) = delete;
    TcpRelay &operator=(const TcpRelay &) = delete;

    // Listens on the port (0: any free one) and returns it, or 0.
    quint16 start(quint16 port, const QString &ptyPath);
    // Closes the client's connection and stops listening, as a server
    // that went away.
    void stop();

private:
    void serve();

    int listen_ = -1, pty_ = -1, stop_[2] = {-1, -1};
    std::thread thread_;
};

}  // namespace sim
