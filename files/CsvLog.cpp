#include "files/CsvLog.h"

#include "app/Globals.h"
#include "app/Messages.h"
#include "files/FileWrite.h"

#include <QDateTime>
#include <QFileInfo>

#include <cstdio>

CsvLog &CsvLog::instance()
{
    static CsvLog log;
    return log;
}

QString CsvLog::field(const QString &text, bool forceQuotes)
{
    if (!forceQuotes && !text.contains(',') && !text.contains('"') && !text.contains('\r') &&
        !text.contains('\n'))
        return text;
    return '"' + QString(text).replace('"', "\"\"") + '"';
}

QString CsvLog::isoTime(qint64 msSinceEpoch)
{
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(msSinceEpoch);
    const int offset = t.offsetFromUtc() / 60;
    const int a = std::abs(offset);
    return t.toString("yyyy-MM-dd'T'HH:mm:ss.zzz") + (offset < 0 ? '-' : '+') +
           QString("%1:%2").arg(a / 60, 2, 10, QChar('0')).arg(a % 60, 2, 10, QChar('0'));
}

QString CsvLog::columnName(int ch, const ChannelSample &c)
{
    QString name = QString("Ch%1").arg(ch);
    if (!c.type.isEmpty())
        name += ' ' + c.type;
    if (!c.unit.isEmpty())
        name += " [" + c.unit + ']';
    return name;
}

bool CsvLog::start(const QString &path, QString *error)
{
    stop();
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        *error = path + " is not a regular file.";
        return false;
    }
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        *error = path + ": " + file_.errorString();
        return false;
    }
    name_ = path;
    toStdout_ = false;
    return open(error);
}

bool CsvLog::startOnStdout(QString *error)
{
    stop();
    std::fflush(stdout);
    if (!file_.open(fileno(stdout), QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = "standard output: " + file_.errorString();
        return false;
    }
    name_ = "standard output";
    toStdout_ = true;
    return open(error);
}

bool CsvLog::open(QString *)
{
    header_.clear();
    // From the next pass to begin: the one under way may have read values
    // before the file was asked for (the cycle waits while its dialog is
    // open), and a row holds one pass's values only.
    const quint64 first = PassSamples::begun() + 1;
    listening_ = connect(&PassSamples::instance(), &PassSamples::pass, this,
                         [this, first](const PassSample &p) {
                             if (p.number >= first)
                                 write(p);
                         });
    emit runningChanged(true);
    return true;
}

void CsvLog::stop()
{
    disconnect(listening_);
    if (!file_.isOpen())
        return;
    file_.close();
    emit runningChanged(false);
}

void CsvLog::fail(const QString &error)
{
    const QString name = name_;
    stop();
    MsgBox("Logging to " + name + " stopped: " + error +
               "\nThe rows written before remain in the file.",
           "Log to CSV", MsgIcon::Critical);
}

bool CsvLog::write(const PassSample &p)
{
    if (!file_.isOpen())
        return false;
    // A file whose folder went away takes rows that nobody will ever read.
    if (!toStdout_ && !QFileInfo::exists(name_)) {
        fail("the file is gone (its folder was removed or renamed)");
        return false;
    }
    QString header = "time";
    QString row = isoTime(p.timeMs);
    for (int i = 0; i < p.channels.size(); ++i) {
        header += ',' + field(columnName(i + 1, p.channels[i]), true);
        // a value may hold a module's own bytes: shown as the trace shows them
        row += ',' + field(VisibleText(p.channels[i].text));
    }
    QByteArray bytes;
    const QByteArray headerBytes = header.toUtf8() + "\r\n";
    if (headerBytes != header_)
        bytes = headerBytes;
    bytes += row.toUtf8() + "\r\n";

    const qint64 before = toStdout_ ? 0 : file_.pos();
    QString error;
    if (!WriteFully(file_, bytes, &error)) {
        // Cut a row written in part, so the file ends with a whole row.
        if (!toStdout_)
            file_.resize(before);
        fail(error.isEmpty() ? QString("write failed") : error);
        return false;
    }
    header_ = headerBytes;
    return true;
}
