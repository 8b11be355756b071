#pragma once
// What the tests share: a simulated module on a real pty, a link host that
// opens it like any serial port, and a recorder for every message shown.

#include "app/Messages.h"
#include "link/Communication.h"
#include "sim/SimModule.h"

#include <QList>
#include <QMetaType>
#include <QString>

#include <csignal>
#include <functional>
#include <memory>

#include <sys/resource.h>

struct ShownMessage {
    QString text;
    QString title;
    MsgIcon icon;
    bool operator==(const ShownMessage &o) const
    {
        return text == o.text && title == o.title && icon == o.icon;
    }
};

Q_DECLARE_METATYPE(ShownMessage)

char *toString(const ShownMessage &m);   // for QCOMPARE output
char *toString(const MsgIcon &i);

// Messages many tests look for.
extern const ShownMessage kTimedOut;  // a reply that never came
ShownMessage downloadIncomplete(const QString &title);
ShownMessage uploadIncomplete(const QString &title);
ShownMessage writeRefused(const QString &line, int item);  // "Parameter Write"

class MessageLog {
public:
    // Installs itself as the message box; every message is recorded.
    MessageLog();
    ~MessageLog();
    QList<ShownMessage> messages;
    QStringList titles() const;
    void clear() { messages.clear(); }
};

// Lines the module received, as text, CR stripped.
QStringList linesOf(sim::PtyModule &m);

// A module of the given model on a pty, and a LinkHost set as CommForm
// whose port dialog answers with that pty. InitData is run first.
class LinkFixture {
public:
    explicit LinkFixture(const QString &model = "QV8_KX5");
    ~LinkFixture();
    sim::PtyModule &module() { return *module_; }
    LinkHost &host() { return *host_; }
    QStringList received() { return linesOf(*module_); }
    void clearReceived() { module_->clearReceived(); }
    MessageLog log;

private:
    std::unique_ptr<sim::PtyModule> module_;
    std::unique_ptr<LinkHost> host_;
};

// While it lives, no file of this process grows past `bytes`, as on a disk
// that fills up: the write that would, fails with "File too large".
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();

private:
    rlimit limit_{};
    struct sigaction onSignal_{};
};

// Runs the event loop for ms milliseconds.
void pump(int ms);

// A module of the model on a pty, serving already.
std::unique_ptr<sim::PtyModule> startedModule(const QString &model);
// Faults for a module: faults([](sim::Faults &x) { x.silent = true; }).
sim::Faults faults(const std::function<void(sim::Faults &)> &set);
// Pins values in the module, each given as "item:index:payload".
void pin(sim::PtyModule &m, const QStringList &pins);
// The payload the module holds now.
QString valueIn(sim::PtyModule &m, int item, int index);
// The port dialog answers with this path.
void usePort(const QString &path);
// A file's bytes; empty when it cannot be read.
QByteArray fileBytes(const QString &path);
// Item select and data line of each "item=data": "81=3" gives I81, D3.
QStringList pairs(const QStringList &itemData);
