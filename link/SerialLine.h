#pragma once
// A serial port: set to 9600 baud 8N1 by QSerialPort, which also holds its
// lock and takes the writes. A thread of its own reads the port and wakes
// the program once a reply's CR is in (or the input stops coming), not for
// every character: at 9600 baud that is a thousand wake-ups a second less.

#include "link/Transport.h"

#include <QSerialPort>

#include <atomic>
#include <mutex>
#include <thread>

class SerialLine : public Transport {
    Q_OBJECT
public:
    explicit SerialLine(const QString &port);
    ~SerialLine() override;

    bool openLine(QString *error) override;
    void discardInput() override;
    QString lostText() const override;
    double helperCpuSeconds() const override;

    // The reader hands over input without a CR after a tenth of a second of
    // quiet, and at once once this many bytes wait (longer than any reply).
    static constexpr int HandOverBytes = 1024;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;
    void closeLine() override;

private:
    void read();
    void takeCollected();
    void onPortError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    int readFd_ = -1;
    std::thread reader_;
    std::mutex mutex_;
    QByteArray collected_;   // read by the thread, not yet handed over
    bool handing_ = false;   // a hand-over is queued to the program
    bool gone_ = false;      // the thread saw the port go away
    std::atomic<bool> stopping_{false};
    std::atomic<double> readerCpu_{0};  // of the reader threads that ended
    std::atomic<bool> reading_{false};
};
