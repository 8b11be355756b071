#pragma once
// The line under the link, one class per kind: a serial port, a raw TCP
// connection to a serial device server, or one that speaks RFC 2217. Each
// is a QIODevice that carries the module's bytes as they are on the wire;
// the exchanges, time-outs and trace above it do not know which it is.

#include <QIODevice>
#include <QString>

#include <memory>
#include <optional>

// socket://HOST:PORT or rfc2217://HOST:PORT, taken apart.
struct NetworkPort {
    bool rfc2217 = false;
    QString host;
    quint16 port = 0;
    QString url() const;
    QString where() const;  // "HOST:PORT", as messages name it
};

// True when the text is meant as a network port (by its scheme), valid or not.
bool IsNetworkPort(const QString &text);
// The network port the text names; nullopt with the reason when it names none.
std::optional<NetworkPort> ParseNetworkPort(const QString &text, QString *error = nullptr);

class Transport : public QIODevice {
    Q_OBJECT
public:
    // Seconds a network line may take to connect (and to agree on the
    // COM port settings) before it counts as not answering.
    static constexpr int ConnectMs = 3000;

    // The line for a port as the user gave it: a device path or a URL.
    static std::unique_ptr<Transport> forPort(const QString &port);

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

    // Opens the line; a network line is connected and set up before this
    // returns, waiting with the window's events running. On failure the
    // text says why and what to do, for the user.
    virtual bool openLine(QString *error) = 0;
    void close() override;
    // Drops the input not yet taken, here and in the system's buffers.
    virtual void discardInput();
    // The port as the user named it.
    QString portName() const { return port_; }
    // What the lost-line message says happened to this kind of line.
    virtual QString lostText() const = 0;
    // CPU seconds of the line's own reader threads, for measurements.
    virtual double helperCpuSeconds() const { return 0; }

signals:
    // The line went away under the link (adapter pulled, connection closed).
    void lost();
    // A write or read failed without the line going away.
    void failed(const QString &text);

protected:
    explicit Transport(const QString &port) : port_(port) {}
    qint64 readData(char *data, qint64 maxSize) override;
    // Bytes the line received for the module's reader.
    void deliver(const QByteArray &bytes);
    virtual void closeLine() = 0;

    QByteArray input_;

private:
    QString port_;
};
