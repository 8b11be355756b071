#include "sim/TcpRelay.h"

#include <QFile>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

TcpRelay::~TcpRelay()
{
    stop();
}

void TcpRelay::stop()
{
    if (thread_.joinable()) {
        const char b = 0;
        if (::write(stop_[1], &b, 1) < 0) {
        }
        thread_.join();
    }
    for (int *fd : {&listen_, &pty_, &stop_[0], &stop_[1]})
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
}

quint16 TcpRelay::start(quint16 port, const QString &ptyPath)
{
    listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    pty_ = ::open(QFile::encodeName(ptyPath).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t{};
    if (listen_ < 0 || pty_ < 0 || ::bind(listen_, reinterpret_cast<sockaddr *>(&a), len) ||
        ::listen(listen_, 4) || ::getsockname(listen_, reinterpret_cast<sockaddr *>(&a), &len) ||
        ::pipe2(stop_, O_CLOEXEC) || ::tcgetattr(pty_, &t)) {
        stop();
        return 0;
    }
    cfmakeraw(&t);
    ::tcsetattr(pty_, TCSANOW, &t);
    thread_ = std::thread([this] { serve(); });
    return ntohs(a.sin_port);
}

void TcpRelay::serve()
{
    int client = -1;
    char buf[512];
    const auto drop = [&client] {
        ::close(client);  // the client went: the next one may come
        client = -1;
    };
    for (;;) {
        pollfd fds[3] = {{stop_[0], POLLIN, 0},
                         {client >= 0 ? client : listen_, POLLIN, 0},
                         {pty_, POLLIN, 0}};
        if (::poll(fds, 3, -1) < 0)
            continue;
        if (fds[0].revents)
            break;
        if (client < 0 && fds[1].revents) {
            client = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
            const int on = 1;
            ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        } else if (fds[1].revents) {
            const ssize_t n = ::read(client, buf, sizeof buf);
            if (n <= 0 || ::write(pty_, buf, size_t(n)) != n)
                drop();
        }
        if (fds[2].revents & POLLIN) {
            const ssize_t n = ::read(pty_, buf, sizeof buf);
            // with no client, what the module says goes nowhere
            if (n > 0 && client >= 0 && ::send(client, buf, size_t(n), MSG_NOSIGNAL) != n)
                drop();
        } else if (fds[2].revents) {
            break;  // the module's port is gone
        }
    }
    if (client >= 0)
        ::close(client);
}

}  // namespace sim
