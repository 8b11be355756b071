#include "link/SerialLine.h"

#include "app/Init.h"
#include "link/Ports.h"

#include <QFile>
#include <QMetaObject>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <pthread.h>
#include <time.h>
#include <unistd.h>

namespace {
double threadCpu(pthread_t thread)
{
    clockid_t clock{};
    timespec ts{};
    if (pthread_getcpuclockid(thread, &clock) != 0 || clock_gettime(clock, &ts) != 0)
        return 0;
    return ts.tv_sec + ts.tv_nsec / 1e9;
}
}  // namespace

SerialLine::SerialLine(const QString &port) : Transport(port)
{
    // SIGURG, ignored by default, interrupts the reader's read (no restart).
    static const bool interruptible = [] {
        struct sigaction sa {};
        sa.sa_handler = [](int) {};
        sigemptyset(&sa.sa_mask);
        return sigaction(SIGURG, &sa, nullptr) == 0;
    }();
    Q_UNUSED(interruptible);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialLine::onPortError);
}

SerialLine::~SerialLine()
{
    close();
    closeLine();
}

bool SerialLine::openLine(QString *error)
{
    const QString device = portName();
    if (device.isEmpty()) {
        *error = Tr("No port chosen");
        return false;
    }
    // A stable name (/dev/serial/by-id/...) is opened as the device it
    // stands for, so its lock is the one other programs see.
    const QString resolved = ResolvedPort(device);
    // The reading side is opened first: once QSerialPort has the port it
    // is exclusive.
    readFd_ = ::open(QFile::encodeName(resolved).constData(),
                     O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    port_.setPortName(resolved);
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setParity(QSerialPort::NoParity);
    port_.setDataBits(QSerialPort::Data8);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    // Write only: the thread below is the port's one reader. Its reads
    // block (the open did not), and end after a tenth of a second of quiet.
    const auto blockingReads = [this] {
        termios tio{};
        if (::fcntl(readFd_, F_SETFL, ::fcntl(readFd_, F_GETFL) & ~O_NONBLOCK) != 0 ||
            ::tcgetattr(readFd_, &tio) != 0)
            return false;
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 1;
        return ::tcsetattr(readFd_, TCSANOW, &tio) == 0;
    };
    if (!port_.open(QIODevice::WriteOnly) || readFd_ < 0 || !blockingReads()) {
        const QString reason = QString::fromLocal8Bit(strerror(errno));
        *error = port_.isOpen() ? QString("%1: %2").arg(device, reason)
                                : PortOpenMessage(device, port_.error(), port_.errorString());
        closeLine();
        return false;
    }
    gone_ = false;
    handing_ = false;
    stopping_ = false;
    collected_.clear();
    reading_ = true;
    reader_ = std::thread([this] { read(); });
    QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    return true;
}

void SerialLine::read()
{
    char buf[256];
    for (;;) {
        // One blocking read per wake-up, as a plain read loop does: it
        // returns with what came, or with nothing after a tenth of a second
        // of quiet (VTIME), or when closeLine interrupts it.
        const ssize_t n = ::read(readFd_, buf, sizeof buf);
        if (stopping_)
            break;
        bool handOver = false, gone = false;
        if (n > 0) {
            std::lock_guard<std::mutex> lock(mutex_);
            collected_.append(buf, n);
            handOver = memchr(buf, '\r', size_t(n)) || collected_.size() >= HandOverBytes;
        } else if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        } else if (n < 0) {
            gone = true;  // a hung-up port (adapter pulled, other end closed)
        } else {
            // quiet, or a hang-up that reads as an end of file
            pollfd fd{readFd_, POLLIN, 0};
            gone = ::poll(&fd, 1, 0) > 0 && (fd.revents & (POLLHUP | POLLERR));
            handOver = true;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (gone)
            gone_ = true;
        if ((gone || (handOver && !collected_.isEmpty())) && !handing_) {
            handing_ = true;
            QMetaObject::invokeMethod(this, &SerialLine::takeCollected, Qt::QueuedConnection);
        }
        if (gone)
            break;
    }
    readerCpu_ = readerCpu_ + threadCpu(pthread_self());
    reading_ = false;
}

void SerialLine::takeCollected()
{
    QByteArray bytes;
    bool gone = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        bytes.swap(collected_);
        handing_ = false;
        gone = gone_;
    }
    if (!isOpen())
        return;
    deliver(bytes);
    if (gone && isOpen())
        emit lost();
}

qint64 SerialLine::readData(char *data, qint64 maxSize)
{
    // What the thread holds counts too: a time-out looks at the whole reply.
    {
        std::lock_guard<std::mutex> lock(mutex_);
        input_ += collected_;
        collected_.clear();
    }
    return Transport::readData(data, maxSize);
}

qint64 SerialLine::writeData(const char *data, qint64 size)
{
    const qint64 n = port_.write(data, size);
    if (n < 0)
        setErrorString(port_.errorString());
    port_.flush();  // out now, not on the next turn of the event loop
    return n;
}

void SerialLine::discardInput()
{
    port_.clear(QSerialPort::Input);
    std::lock_guard<std::mutex> lock(mutex_);
    collected_.clear();
    input_.clear();
}

void SerialLine::onPortError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !isOpen())
        return;
    if (error == QSerialPort::ResourceError || error == QSerialPort::WriteError ||
        error == QSerialPort::ReadError)
        emit lost();
    else
        emit failed(port_.errorString());
}

void SerialLine::closeLine()
{
    if (reader_.joinable()) {
        // The signal ends a read in progress at once; one that starts just
        // after it ends within its tenth of a second.
        stopping_ = true;
        pthread_kill(reader_.native_handle(), SIGURG);
        reader_.join();
    }
    for (int *fd : {&readFd_})
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    if (port_.isOpen())
        port_.close();
    std::lock_guard<std::mutex> lock(mutex_);
    collected_.clear();
}

QString SerialLine::lostText() const
{
    return Tr("%1 is gone.\nThe adapter was pulled out or the port closed. Check the cable, the "
              "adapter and the module's power, then connect again.")
        .arg(portName());
}

double SerialLine::helperCpuSeconds() const
{
    double live = 0;
    if (reader_.joinable() && reading_)
        live = threadCpu(const_cast<std::thread &>(reader_).native_handle());
    return readerCpu_ + live;
}
