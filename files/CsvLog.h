#pragma once
// Logging the monitoring passes to a CSV file: a header row naming each
// column with channel, type and unit, then one row per pass with the local
// time and every channel's value as shown. Each row reaches the file when it
// is written, so a crash loses at most the pass in progress; a write that
// fails stops logging with a message and leaves the rows before it whole.

#include "app/PassSamples.h"

#include <QFile>
#include <QObject>
#include <QString>

class CsvLog : public QObject {
    Q_OBJECT
public:
    // The log the Monitor menu and batch mode use.
    static CsvLog &instance();

    // Starts logging the passes to this file, created or replaced. Only a
    // regular file (or a new name) is accepted; false with the reason if not.
    bool start(const QString &path, QString *error);
    // Starts logging to standard output (batch mode).
    bool startOnStdout(QString *error);
    void stop();
    bool isRunning() const { return file_.isOpen(); }
    QString fileName() const { return name_; }

    // One pass: the header first, and again whenever the columns change
    // (another module, a type changed between two runs). False when the
    // write failed; logging has then stopped and the message been shown.
    bool write(const PassSample &p);

    // A field quoted as RFC 4180 asks: in quotes, with quotes doubled, when
    // it holds a comma, a quote or a line break (always when forced).
    static QString field(const QString &text, bool forceQuotes = false);
    // ISO 8601 local time with milliseconds and the UTC offset.
    static QString isoTime(qint64 msSinceEpoch);
    // "Ch1 K(CA) [degC]"
    static QString columnName(int ch, const ChannelSample &c);

signals:
    void runningChanged(bool on);

private:
    CsvLog() = default;
    bool open(QString *error);
    void fail(const QString &error);

    QFile file_;
    QString name_;
    bool toStdout_ = false;
    QByteArray header_;
    QMetaObject::Connection listening_;
};
