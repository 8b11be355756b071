#pragma once
// The link: opening and checking the line (serial or network), closing it,
// and one command transaction at a time with the 2000 ms reply time-out.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>

class TracedExchange;
class Transport;

// Owner of the line and the time-out timer. The main window holds
// one; G().CommForm points at it.
class LinkHost : public QObject {
    Q_OBJECT
public:
    explicit LinkHost(QObject *parent = nullptr);
    ~LinkHost() override;

    QTimer Timer1;  // single shot, 2000 ms, off until a transaction starts

    // A reply line without CR longer than this ends the exchange as a failure.
    static constexpr int MaxReplyLength = 1024;

    // Opens the line to a port (a device path or a network URL); a network
    // line waits for the connection with the window's events running. On
    // failure the text says why, for the user.
    bool openLine(const QString &port, QString *error);
    bool lineOpen() const;
    // The line last opened (closed or not); null before the first.
    Transport *line() const { return line_.get(); }

    // True while an exchange waits for its reply.
    bool exchangeInProgress() const { return current_ != nullptr; }
    // The device path the port was opened with, as the user chose it.
    QString device() const { return device_; }
    // The port vanished under the link (adapter pulled, other end gone):
    // exchanges give up at once until the port is opened again.
    bool portLost() const { return lost_; }
    // Ends the exchange in progress, if any, as failed (program ending).
    void abortExchange();

    struct Exchange {
        QByteArray reply;
        bool done = false;
        bool timedOut = false;
        bool failed = false;
        QString errorText;
        TracedExchange *trace = nullptr;  // recorded when the exchange ends
    };

signals:
    void exchangeEnded();

private:
    friend QString SendReceive(const QString &);
    friend void CommOpen();
    friend void CommClose();
    void onReadyRead();
    void onTimer1();
    void take(const QByteArray &data);
    void onLineLost();
    void onLineFailed(const QString &text);
    void closeLine();
    void finish(Exchange *ex);
    void dropLostPort();

    std::unique_ptr<Transport> line_;
    Exchange *current_ = nullptr;
    QString device_;
    bool lost_ = false;
};

// The link host of the main window, which every workflow talks through.
LinkHost *&MainLink();

// Device path for a port number of the port dialog: 1 and 2 are the first
// two serial ports of the platform, 3 is the port named in PortName.
QString PortDevice(const QString &portName, int portNumber);

// Count of command lines written so far; tells a caller whether another
// exchange got in between two of its own.
quint64 ExchangeCount();

void CommOpen();
// True when the last CommOpen ended because the user closed the port
// dialog: a cancel, not a failure, so nothing more is reported.
bool CommOpenCancelled();
void CommClose();
QString SendReceive(const QString &command);

// Waits this long, the window's events running, for what may still be on
// its way from the module (an answer whose place an earlier reply's tail
// took); the next exchange drops it as late input. Ends early when the
// program ends or is interrupted.
void LetLineSettle(int ms);
