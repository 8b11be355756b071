#pragma once
// What the system says about its serial ports: the list the port dialog
// offers, and why a port could not be opened, said so that the user knows
// what to do about it.

#include <QList>
#include <QSerialPort>
#include <QString>

#include <functional>

struct PortEntry {
    QString path;         // what to open: the stable /dev/serial/by-id name when there is one
    QString device;       // the device node it stands for (/dev/ttyUSB0)
    QString description;  // "ttyUSB0 · FT232R USB UART · FTDI · serial A10K3J2"; may be empty
};

// The ports the system has now, the ones with a stable name first.
QList<PortEntry> SerialPorts();
// What SerialPorts() asks; tests put their own ports (ptys) in its place.
std::function<QList<PortEntry>()> &PortLister();
// The system's ports, their names matched with the symlinks of byIdDir.
QList<PortEntry> SystemPorts(const QString &byIdDir = QStringLiteral("/dev/serial/by-id"));

// A symlink's target (by-id names), or the path itself.
QString ResolvedPort(const QString &path);

// The facts about a device path that explain a failed open.
struct PortFacts {
    bool exists = false;
    bool accessible = false;  // this user may read and write it
    QString group;            // the group that owns it
    QString holder;           // the program that holds it, when a lock file tells
};
PortFacts FactsOf(const QString &path);
// What the link asks after a failed open; tests act out a denied or busy
// port here without touching /dev.
std::function<PortFacts(const QString &path)> &PortFactsSeam();

// The message for a port that could not be opened: why, and what to do.
QString PortOpenMessage(const QString &path, QSerialPort::SerialPortError error,
                        const QString &errorText);
