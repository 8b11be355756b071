#include "app/Process.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Process {
namespace {

int pipeEnds[2] = {-1, -1};
int signalSeen = 0;

extern "C" void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    // a full pipe already holds a byte: that is enough
    [[maybe_unused]] const ssize_t n = ::write(pipeEnds[0], &byte, 1);
    errno = saved;
}

}  // namespace

void prepare()
{
    for (int fd = 0; fd <= 2; ++fd)
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // the lowest free number: this one
            const int opened = ::open("/dev/null", O_RDWR);
            if (opened >= 0 && opened != fd)
                ::close(opened);
        }
    std::signal(SIGXFSZ, SIG_IGN);
}

void install(std::function<void(int)> handle)
{
    if (pipeEnds[0] >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeEnds) != 0)
        return;
    // owned by the application, so it goes with it
    auto *notifier = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read,
                                         QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [handle] {
        unsigned char byte = 0;
        if (::read(pipeEnds[1], &byte, 1) == 1 && handle)
            handle(byte);
    });
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

int received()
{
    return signalSeen;
}

void setReceived(int signal)
{
    signalSeen = signal;
}

}  // namespace Process
