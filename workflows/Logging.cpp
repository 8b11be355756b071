#include "workflows/Logging.h"

#include "app/Messages.h"
#include "files/CsvLog.h"
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
    out.write((LineTrace::header() + '\n').toUtf8());
    QObject::connect(&LineTrace::instance(), &LineTrace::appended, &LineTrace::instance(),
                     [](const LineTrace::Entry &e) {
                         out.write((LineTrace::line(e) + '\n').toUtf8());
                     });
    return true;
}

}  // namespace Logging
