#include "workflows/Logging.h"

#include "app/Init.h"
#include "app/Messages.h"
#include "files/CsvLog.h"
#include "files/FileWrite.h"
#include "files/ui/FileOps.h"
#include "link/LineTrace.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

namespace Logging {

namespace {

QString askCsvFile()
{
    const QString title = Tr("Log to CSV");
    const QString filter = Tr("CSV Files (*.csv);;All Files (*.*)");
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
    if (!WriteFully(out, (LineTrace::header() + '\n').toUtf8(), error)) {
        *error = file + ": " + *error;
        return false;
    }
    static QMetaObject::Connection tracing;
    QObject::disconnect(tracing);
    const bool toStderr = file == "-";  // shared with the messages: never cut back
    const QString name = toStderr ? QString("standard error") : file;
    tracing = QObject::connect(
        &LineTrace::instance(), &LineTrace::appended, &LineTrace::instance(),
        [name, toStderr](const LineTrace::Entry &e) {
            const qint64 before = toStderr ? -1 : out.pos();
            QString why;
            if (WriteFully(out, (LineTrace::line(e) + '\n').toUtf8(), &why))
                return;
            // A trace with lines missing would tell less than happened: it
            // stops, and ends with the last whole line.
            QObject::disconnect(tracing);
            if (before >= 0)
                out.resize(before);
            out.close();
            MsgBox("Tracing to " + name + " stopped: " + why, "Trace", MsgIcon::Critical);
        });
    return true;
}

}  // namespace Logging
