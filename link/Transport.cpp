#include "link/Transport.h"

#include "app/Init.h"
#include "link/SerialLine.h"
#include "link/NetworkLine.h"

#include <QUrl>

QString NetworkPort::url() const
{
    return QString("%1://%2").arg(rfc2217 ? "rfc2217" : "socket", where());
}

QString NetworkPort::where() const
{
    const QString h = host.contains(':') ? "[" + host + "]" : host;
    return QString("%1:%2").arg(h).arg(port);
}

bool IsNetworkPort(const QString &text)
{
    const QString t = text.trimmed();
    return t.startsWith("socket://", Qt::CaseInsensitive) ||
           t.startsWith("rfc2217://", Qt::CaseInsensitive);
}

std::optional<NetworkPort> ParseNetworkPort(const QString &text, QString *error)
{
    const QString t = text.trimmed();
    const QUrl url(t, QUrl::StrictMode);
    NetworkPort n;
    n.rfc2217 = url.scheme().compare("rfc2217", Qt::CaseInsensitive) == 0;
    n.host = url.host();
    const int port = url.port();
    const bool ok = IsNetworkPort(t) && url.isValid() && !n.host.isEmpty() && port > 0 &&
                    url.path().isEmpty() && !url.hasQuery() && !url.hasFragment() &&
                    url.userInfo().isEmpty();
    if (!ok) {
        if (error)
            *error = Tr("\"%1\" is not a network port: give socket://HOST:PORT or "
                        "rfc2217://HOST:PORT, with a port number from 1 to 65535")
                         .arg(t);
        return std::nullopt;
    }
    n.port = quint16(port);
    return n;
}

std::unique_ptr<Transport> Transport::forPort(const QString &port)
{
    if (IsNetworkPort(port)) {
        if (ParseNetworkPort(port).value_or(NetworkPort{}).rfc2217)
            return std::make_unique<Rfc2217Line>(port);
        return std::make_unique<TcpLine>(port);
    }
    return std::make_unique<SerialLine>(port);
}

qint64 Transport::bytesAvailable() const
{
    return input_.size() + QIODevice::bytesAvailable();
}

qint64 Transport::readData(char *data, qint64 maxSize)
{
    const qint64 n = qMin<qint64>(maxSize, input_.size());
    if (n > 0) {
        memcpy(data, input_.constData(), size_t(n));
        input_.remove(0, n);
    }
    return n;
}

void Transport::deliver(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    input_ += bytes;
    emit readyRead();
}

void Transport::discardInput()
{
    input_.clear();
}

void Transport::close()
{
    if (!isOpen())
        return;
    QIODevice::close();  // aboutToClose first, as for any device
    closeLine();
    input_.clear();
}
