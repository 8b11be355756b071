#include "workflows/Logging.h"

#include "app/Messages.h"
#include "files/CsvLog.h"
#include "files/ui/FileOps.h"
#include "link/LineTrace.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace Logging {

namespace {

QString askCsvFile()
{
    const QString title = "Log to CSV";
    const QString filter = "CSV Files (*.csv);;All Files (*.*)";
    if (dlgFile().ask)
        return dlgFile().ask(FileDialog::Mode::Save, title, filter);
    QFileDialog dlg(QApplication::activeWindow(), title, QString(), filter);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDefaultSuffix("csv");
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().first();
}

}  // namespace

void LogToCsv()
{
    CsvLog &log = CsvLog::instance();
    if (log.isRunning()) {
        log.stop();
        return;
    }
    const QString name = askCsvFile();
    if (name.isEmpty())
        return;
    QString error;
    if (!log.start(name, &error))
        MsgBox(error, "Log to CSV", MsgIcon::Exclamation);
}

bool CsvOn()
{
    return CsvLog::instance().isRunning();
}

bool TraceTo(const QString &file, QString *error)
{
    static QFile out;
    out.close();
    bool ok;
    if (file == "-") {
        ok = out.open(fileno(stderr), QIODevice::WriteOnly | QIODevice::Unbuffered);
    } else {
        const QFileInfo info(file);
        if (info.exists() && !info.isFile()) {
            *error = file + " is not a regular file.";
            return false;
        }
        out.setFileName(file);
        ok = out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    }
    if (!ok) {
        *error = file + ": " + out.errorString();
        return false;
    }
    // A line that does not reach the trace fails the command that made it
    // (told once): the run's word would not match its record.
    static bool lost = false;
    lost = false;
    const auto put = [file](const QString &line) {
        if (lost || out.write((line + '\n').toUtf8()) >= 0)
            return;
        lost = true;
        MsgBox(file + ": " + QString::fromLocal8Bit(std::strerror(errno)), "Trace",
               MsgIcon::Critical);
    };
    if (out.write((LineTrace::header() + '\n').toUtf8()) < 0) {
        *error = file + ": " + QString::fromLocal8Bit(std::strerror(errno));
        out.close();
        return false;
    }
    QObject::connect(&LineTrace::instance(), &LineTrace::appended, &LineTrace::instance(),
                     [put](const LineTrace::Entry &e) { put(LineTrace::line(e)); });
    return true;
}

}  // namespace Logging
