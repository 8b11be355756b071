#include "link/Ports.h"

#include "app/Init.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QSerialPortInfo>
#include <QStandardPaths>

#include <algorithm>

#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

QString ResolvedPort(const QString &path)
{
    const QFileInfo info(path);
    return info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
}

QList<PortEntry> SystemPorts(const QString &byIdDir)
{
    // Names that stay the same whatever order the adapters were plugged in.
    QHash<QString, QString> stable;
    const QDir dir(byIdDir);
    const auto links = dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo &link : links)
        if (link.isSymLink() && link.exists())
            stable.insert(link.canonicalFilePath(), link.absoluteFilePath());

    QList<PortEntry> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        PortEntry e;
        e.device = info.systemLocation();
        e.path = stable.value(ResolvedPort(e.device), e.device);
        QStringList what;
        if (e.path != e.device)
            what << info.portName();
        for (const QString &s : {info.description(), info.manufacturer()})
            if (!s.trimmed().isEmpty() && !what.contains(s.trimmed()))
                what << s.trimmed();
        if (!info.serialNumber().isEmpty())
            what << Tr("serial %1").arg(info.serialNumber());
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            what << QString("USB %1:%2")
                        .arg(info.vendorIdentifier(), 4, 16, QChar('0'))
                        .arg(info.productIdentifier(), 4, 16, QChar('0'));
        e.description = what.join(QString::fromUtf8(" · "));
        ports << e;
    }
    std::stable_sort(ports.begin(), ports.end(), [](const PortEntry &a, const PortEntry &b) {
        const bool sa = a.path != a.device, sb = b.path != b.device;
        return sa != sb ? sa : a.path < b.path;
    });
    return ports;
}

std::function<QList<PortEntry>()> &PortLister()
{
    static std::function<QList<PortEntry>()> lister;
    return lister;
}

QList<PortEntry> SerialPorts()
{
    return PortLister() ? PortLister()() : SystemPorts();
}

namespace {

// The program named in a lock file that QSerialPort (and most serial
// programs) leave beside a port they hold, if that program still runs.
QString lockHolder(const QString &device)
{
    QString name = device;
    if (name.startsWith("/dev/"))
        name = name.mid(5);
    name.replace('/', '_');
    const QStringList dirs = {"/var/lock", "/run/lock", "/var/lock/lockdev", "/var/spool/locks",
                              "/var/spool/uucp", "/etc/locks", "/tmp", "/var/tmp",
                              QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
    for (const QString &dir : dirs) {
        const QString file = dir + "/LCK.." + name;
        if (!QFileInfo::exists(file))
            continue;
        qint64 pid = 0;
        QString host, app;
        QLockFile lock(file);
        if (!lock.getLockInfo(&pid, &host, &app) || pid <= 0 || ::kill(pid_t(pid), 0) != 0)
            continue;
        QFile comm(QString("/proc/%1/comm").arg(pid));
        if (comm.open(QIODevice::ReadOnly))
            app = QString::fromLocal8Bit(comm.readAll()).trimmed();
        return app.isEmpty() ? Tr("process %1").arg(pid) : Tr("%1, process %2").arg(app).arg(pid);
    }
    return QString();
}

}  // namespace

PortFacts FactsOf(const QString &path)
{
    PortFacts f;
    const QString device = ResolvedPort(path);
    struct stat st {};
    const QByteArray native = QFile::encodeName(device);
    f.exists = ::stat(native.constData(), &st) == 0;
    if (!f.exists)
        return f;
    f.accessible = ::access(native.constData(), R_OK | W_OK) == 0;
    if (const group *g = ::getgrgid(st.st_gid))
        f.group = QString::fromLocal8Bit(g->gr_name);
    f.holder = lockHolder(device);
    return f;
}

std::function<PortFacts(const QString &path)> &PortFactsSeam()
{
    static std::function<PortFacts(const QString &)> seam;
    return seam;
}

QString PortOpenMessage(const QString &path, QSerialPort::SerialPortError error,
                        const QString &errorText)
{
    const PortFacts f = PortFactsSeam() ? PortFactsSeam()(path) : FactsOf(path);
    if (!f.exists || error == QSerialPort::DeviceNotFoundError) {
        QStringList names;
        for (const PortEntry &e : SerialPorts())
            names << e.path;
        if (names.isEmpty())
            return Tr("%1 was not found, and this computer shows no serial ports at all.\n"
                      "Plug in the adapter (or check that its driver is loaded), then connect "
                      "again.")
                .arg(path);
        return Tr("%1 was not found.\nThe serial ports of this computer: %2.\n"
                  "Is the adapter plugged in? Choose one of these ports, then connect again.")
            .arg(path, names.join(", "));
    }
    if (!f.accessible) {
        if (f.group.isEmpty() || f.group == "root")
            return Tr("You may not use %1: you have no permission to read and write it.\n"
                      "Ask the administrator of this computer for access to the port.")
                .arg(path);
        return Tr("You may not use %1: it belongs to the group \"%2\", and you are not a member "
                  "of it.\nAdd yourself to the group with\n    sudo usermod -aG %2 $USER\n"
                  "then log out and in again, and connect.")
            .arg(path, f.group);
    }
    // Readable and writable, yet refused: another program holds it (its
    // lock file, or the port opened for exclusive use).
    if (error == QSerialPort::PermissionError || !f.holder.isEmpty()) {
        if (f.holder.isEmpty())
            return Tr("%1 is busy: another program holds it.\n"
                      "Close that program (a terminal program, another Kavix), then connect again.")
                .arg(path);
        return Tr("%1 is busy: another program holds it (%2).\n"
                  "Close that program, then connect again.")
            .arg(path, f.holder);
    }
    return QString("%1: %2").arg(path, errorText);
}
