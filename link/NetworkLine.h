#pragma once
// A module behind a serial device server: socket://HOST:PORT is a raw TCP
// connection that carries the line's bytes as they are; rfc2217://HOST:PORT
// speaks Telnet with the COM port option of RFC 2217, so that the server
// sets its serial port to 9600 baud 8N1 and the data is escaped.

#include "link/Transport.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

#include <functional>

class TcpLine : public Transport {
    Q_OBJECT
public:
    explicit TcpLine(const QString &port);
    ~TcpLine() override;

    bool openLine(QString *error) override;
    QString lostText() const override;

protected:
    qint64 writeData(const char *data, qint64 size) override;
    void closeLine() override;
    // Bytes from the server; a raw line hands them up as they are.
    virtual void received(const QByteArray &bytes) { deliver(bytes); }
    // What the line must agree on with the server once connected.
    virtual bool setUp(const QDeadlineTimer &, QString *) { return true; }
    // Waits with the window's events running until done() holds; false
    // when the deadline passed, the connection closed or the work ends.
    bool waitFor(const std::function<bool()> &done, const QDeadlineTimer &deadline);
    bool sendRaw(const QByteArray &bytes);
    QString where() const { return where_.where(); }

    QTcpSocket socket_;

private:
    void onError(QAbstractSocket::SocketError error);
    QString connectError(bool timedOut) const;

    NetworkPort where_;
    bool lostTold_ = false;
};

class Rfc2217Line : public TcpLine {
    Q_OBJECT
public:
    using TcpLine::TcpLine;

protected:
    qint64 writeData(const char *data, qint64 size) override;
    void received(const QByteArray &bytes) override;
    bool setUp(const QDeadlineTimer &deadline, QString *error) override;

private:
    void option(quint8 verb, quint8 option);
    void subOption(const QByteArray &sub);
    void send(quint8 verb, quint8 option);

    enum class Parse { Data, Iac, Verb, Sub, SubIac } parse_ = Parse::Data;
    quint8 verb_ = 0;
    QByteArray sub_;
    bool crSeen_ = false;  // the server's CR NUL outside binary mode
    // Telnet option states, per option: ours (WILL) and the server's.
    bool weWill_[256] = {}, offered_[256] = {}, theyWill_[256] = {}, asked_[256] = {};
    bool comPortRefused_ = false;
    // The values the server reports for baud, data size, parity, stop size.
    qint64 reported_[5] = {-1, -1, -1, -1, -1};
};
