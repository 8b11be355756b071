#include "link/NetworkLine.h"

#include "app/Commands.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "app/Process.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <algorithm>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

TcpLine::TcpLine(const QString &port) : Transport(port)
{
    connect(&socket_, &QTcpSocket::readyRead, this, [this] {
        // Acknowledged at once: a server that sends a reply in pieces and
        // waits for each acknowledgement (Nagle) is not held up for the 40 ms
        // of a delayed one. Linux turns this off again after each read.
        const int on = 1;
        setsockopt(int(socket_.socketDescriptor()), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
        received(socket_.readAll());
    });
    connect(&socket_, &QTcpSocket::errorOccurred, this, &TcpLine::onError);
    connect(&socket_, &QTcpSocket::disconnected, this, [this] {
        if (isOpen() && !std::exchange(lostTold_, true))
            emit lost();
    });
}

TcpLine::~TcpLine()
{
    close();
    closeLine();
}

bool TcpLine::waitFor(const std::function<bool()> &done, const QDeadlineTimer &deadline)
{
    QPointer<TcpLine> self(this);
    const auto over = [&] {
        return !self || AppEnding() || Process::received() || deadline.hasExpired() ||
               socket_.state() == QAbstractSocket::UnconnectedState;
    };
    while (!done() && !over()) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(int(qMax<qint64>(1, deadline.remainingTime())));
        connect(&socket_, &QTcpSocket::readyRead, &loop, &QEventLoop::quit);
        connect(&socket_, &QTcpSocket::connected, &loop, &QEventLoop::quit);
        connect(&socket_, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
        connect(&socket_, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
        connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
        connect(&Commands::instance(), &Commands::wake, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return self && done();
}

bool TcpLine::openLine(QString *error)
{
    const std::optional<NetworkPort> port = ParseNetworkPort(portName(), error);
    if (!port)
        return false;
    where_ = *port;
    lostTold_ = false;
    const QDeadlineTimer deadline(ConnectMs, Qt::PreciseTimer);
    socket_.connectToHost(where_.host, where_.port);
    QPointer<TcpLine> self(this);
    const bool connected =
        waitFor([this] { return socket_.state() == QAbstractSocket::ConnectedState; }, deadline);
    if (!self)
        return false;
    if (!connected) {
        *error = connectError(deadline.hasExpired());
        socket_.abort();
        return false;
    }
    // Command lines go out at once, and a server that vanishes without a
    // word (a cable, a power cut) is noticed within seconds, not minutes.
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket_.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    const int fd = int(socket_.socketDescriptor());
    const int idle = 5, interval = 2, count = 3;
    const unsigned userTimeoutMs = 6000;
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
    setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeoutMs, sizeof userTimeoutMs);
    QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    if (!setUp(deadline, error)) {
        if (self)
            close();
        return false;
    }
    return true;
}

QString TcpLine::connectError(bool timedOut) const
{
    const QString at = where_.where();
    switch (timedOut ? QAbstractSocket::SocketTimeoutError : socket_.error()) {
    case QAbstractSocket::HostNotFoundError:
        return Tr("The host \"%1\" was not found (port %2).\nCheck the name of the device "
                  "server, or give its IP address.")
            .arg(where_.host)
            .arg(where_.port);
    case QAbstractSocket::ConnectionRefusedError:
        return Tr("%1 refused the connection: nothing accepts connections on port %2 of %3.\n"
                  "Check the port number and that the device server runs.")
            .arg(at)
            .arg(where_.port)
            .arg(where_.host);
    case QAbstractSocket::SocketTimeoutError:
        return Tr("%1 did not answer within %2 s.\nCheck the address, the network and that the "
                  "device server is switched on.")
            .arg(at)
            .arg(ConnectMs / 1000);
    case QAbstractSocket::RemoteHostClosedError:
        return Tr("%1 closed the connection at once.\nThe device server may be serving another "
                  "program, or could not open its serial port.")
            .arg(at);
    default:
        return QString("%1: %2").arg(at, socket_.errorString());
    }
}

void TcpLine::onError(QAbstractSocket::SocketError)
{
    // Before the line is open, openLine reports; afterwards the line is lost
    // whatever the reason (closed by the server, reset, timed out).
    if (isOpen() && !std::exchange(lostTold_, true))
        emit lost();
}

bool TcpLine::sendRaw(const QByteArray &bytes)
{
    const bool ok = socket_.write(bytes) == bytes.size();
    if (!ok)
        setErrorString(socket_.errorString());
    socket_.flush();
    return ok;
}

qint64 TcpLine::writeData(const char *data, qint64 size)
{
    return sendRaw(QByteArray::fromRawData(data, size)) ? size : -1;
}

void TcpLine::closeLine()
{
    socket_.abort();
}

QString TcpLine::lostText() const
{
    return Tr("the connection to %1 was closed by the device server or the network went "
              "away.\nCheck the network, that the device server runs and the module's power, "
              "then connect again.")
        .arg(where_.where());
}

// RFC 854 (Telnet) and RFC 2217 (its COM port option).
namespace {
constexpr quint8 SE = 240, SB = 250, WILL = 251, WONT = 252, DO = 253, DONT = 254, IAC = 255;
constexpr quint8 BINARY = 0, SGA = 3, COM_PORT = 44;
// Client to server; the server answers each with the number plus 100.
constexpr quint8 SET_BAUDRATE = 1, SET_DATASIZE = 2, SET_PARITY = 3, SET_STOPSIZE = 4,
                 SET_CONTROL = 5;
constexpr qint64 Baud = 9600, DataSize = 8, ParityNone = 1, StopOne = 1, NoFlowControl = 1;
}  // namespace

void Rfc2217Line::send(quint8 verb, quint8 option)
{
    const char command[] = {char(IAC), char(verb), char(option)};
    sendRaw(QByteArray(command, 3));
}

bool Rfc2217Line::setUp(const QDeadlineTimer &deadline, QString *error)
{
    QPointer<Rfc2217Line> self(this);
    // We offer the COM port option and 8-bit data both ways.
    offered_[COM_PORT] = offered_[BINARY] = asked_[BINARY] = true;
    send(WILL, COM_PORT);
    send(WILL, BINARY);
    send(DO, BINARY);
    const bool agreed = waitFor([this] { return weWill_[COM_PORT] || comPortRefused_; }, deadline);
    if (!self)
        return false;
    if (comPortRefused_) {
        *error = Tr("%1 refuses the serial port settings of RFC 2217 (the COM port option).\n"
                    "If it is a raw TCP port, use socket://%1; or turn RFC 2217 on in the "
                    "device server.")
                     .arg(where());
        return false;
    }
    if (!agreed) {
        *error = socket_.state() != QAbstractSocket::ConnectedState
                     ? Tr("%1 closed the connection while the serial port settings were agreed.")
                           .arg(where())
                     : Tr("%1 did not take up the serial port settings of RFC 2217 within %2 s.\n"
                          "If it is a raw TCP port, use socket://%1.")
                           .arg(where())
                           .arg(ConnectMs / 1000);
        return false;
    }
    const auto set = [this](quint8 command, qint64 value, int bytes) {
        const char head[] = {char(IAC), char(SB), char(COM_PORT), char(command)};
        QByteArray sb(head, 4);
        for (int i = bytes - 1; i >= 0; --i) {
            const char b = char((value >> (8 * i)) & 0xff);
            sb += b;
            if (quint8(b) == IAC)
                sb += b;
        }
        sb += char(IAC);
        sb += char(SE);
        sendRaw(sb);
    };
    std::fill(std::begin(reported_), std::end(reported_), -1);
    set(SET_BAUDRATE, Baud, 4);
    set(SET_DATASIZE, DataSize, 1);
    set(SET_PARITY, ParityNone, 1);
    set(SET_STOPSIZE, StopOne, 1);
    set(SET_CONTROL, NoFlowControl, 1);
    const auto allReported = [this] {
        return std::all_of(reported_ + 1, reported_ + 5, [](qint64 v) { return v >= 0; });
    };
    const bool reported = waitFor(allReported, deadline);
    if (!self)
        return false;
    if (!reported) {
        *error = Tr("%1 did not confirm the serial port settings 9600 baud, 8 data bits, no "
                    "parity, 1 stop bit within %2 s.")
                     .arg(where())
                     .arg(ConnectMs / 1000);
        return false;
    }
    if (reported_[1] != Baud || reported_[2] != DataSize || reported_[3] != ParityNone ||
        reported_[4] != StopOne) {
        *error = Tr("%1 did not take the serial port settings: it reports %2 baud, %3 data bits, "
                    "parity code %4, stop size code %5 instead of 9600 baud, 8 data bits, no "
                    "parity, 1 stop bit.")
                     .arg(where())
                     .arg(reported_[1])
                     .arg(reported_[2])
                     .arg(reported_[3])
                     .arg(reported_[4]);
        return false;
    }
    return true;
}

void Rfc2217Line::option(quint8 verb, quint8 opt)
{
    // Answer only what changes a state, so that no two ends loop (RFC 1143).
    const bool supported = opt == BINARY || opt == COM_PORT;
    switch (verb) {
    case DO:
        if (weWill_[opt])
            return;
        if (supported) {
            weWill_[opt] = true;
            if (!std::exchange(offered_[opt], false))
                send(WILL, opt);
        } else {
            send(WONT, opt);
        }
        return;
    case DONT:
        if (opt == COM_PORT && (offered_[opt] || weWill_[opt]))
            comPortRefused_ = true;
        offered_[opt] = false;
        if (std::exchange(weWill_[opt], false))
            send(WONT, opt);
        return;
    case WILL:
        if (theyWill_[opt])
            return;
        // the server may send 8-bit data and need not wait for go-aheads;
        // it must not echo what we send (the reply would not be the module's)
        if (opt == BINARY || opt == SGA) {
            theyWill_[opt] = true;
            if (!std::exchange(asked_[opt], false))
                send(DO, opt);
        } else {
            send(DONT, opt);
        }
        return;
    case WONT:
        asked_[opt] = false;
        if (std::exchange(theyWill_[opt], false))
            send(DONT, opt);
        return;
    }
}

void Rfc2217Line::subOption(const QByteArray &sub)
{
    // The server's answers to our settings; its line and modem state
    // notifications are not needed here.
    if (sub.size() < 3 || quint8(sub[0]) != COM_PORT)
        return;
    const int command = quint8(sub[1]) - 100;
    if (command < SET_BAUDRATE || command > SET_STOPSIZE)
        return;
    qint64 value = 0;
    for (int i = 2; i < sub.size(); ++i)
        value = (value << 8) | quint8(sub[i]);
    reported_[command] = value;
}

void Rfc2217Line::received(const QByteArray &bytes)
{
    QByteArray data;
    data.reserve(bytes.size());
    for (const char c : bytes) {
        const quint8 b = quint8(c);
        switch (parse_) {
        case Parse::Data:
            if (b == IAC) {
                parse_ = Parse::Iac;
            } else if (!(b == 0 && crSeen_ && !theyWill_[BINARY])) {
                data += c;
            }
            crSeen_ = b == '\r';
            break;
        case Parse::Iac:
            parse_ = Parse::Data;
            if (b == IAC) {
                data += c;
                crSeen_ = false;
            } else if (b >= WILL) {
                verb_ = b;
                parse_ = Parse::Verb;
            } else if (b == SB) {
                sub_.clear();
                parse_ = Parse::Sub;
            }
            break;  // other commands (NOP, GA, ...) mean nothing here
        case Parse::Verb:
            parse_ = Parse::Data;
            option(verb_, b);
            break;
        case Parse::Sub:
            if (b == IAC)
                parse_ = Parse::SubIac;
            else if (sub_.size() < 64)
                sub_ += c;
            break;
        case Parse::SubIac:
            if (b == IAC) {
                sub_ += c;
                parse_ = Parse::Sub;
            } else {
                if (b == SE)
                    subOption(sub_);
                parse_ = Parse::Data;
            }
            break;
        }
    }
    deliver(data);
}

qint64 Rfc2217Line::writeData(const char *data, qint64 size)
{
    QByteArray out;
    out.reserve(size + 4);
    for (qint64 i = 0; i < size; ++i) {
        out += data[i];
        if (quint8(data[i]) == IAC)
            out += data[i];
        // outside binary mode Telnet sends a bare CR as CR NUL
        else if (data[i] == '\r' && !weWill_[BINARY])
            out += '\0';
    }
    return sendRaw(out) ? size : -1;
}
