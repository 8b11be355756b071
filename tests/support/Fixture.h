#pragma once
// What the tests share: a simulated module on a real pty, a link host that
// opens it like any serial port, and a recorder for every message shown.

#include "app/Messages.h"
#include "link/Communication.h"
#include "sim/SimModule.h"

#include <QList>
#include <QString>

#include <memory>

struct ShownMessage {
    QString text;
    QString title;
    MsgIcon icon;
    bool operator==(const ShownMessage &o) const
    {
        return text == o.text && title == o.title && icon == o.icon;
    }
};

char *toString(const ShownMessage &m);   // for QCOMPARE output
char *toString(const MsgIcon &i);

class MessageLog {
public:
    // Installs itself as the message box; every message is recorded.
    MessageLog();
    ~MessageLog();
    QList<ShownMessage> messages;
    QStringList titles() const;
    void clear() { messages.clear(); }
};

// A module of the given model on a pty, and a LinkHost set as CommForm
// whose port dialog answers with that pty. InitData is run first.
class LinkFixture {
public:
    explicit LinkFixture(const QString &model = "QV8_KX5");
    ~LinkFixture();
    sim::PtyModule &module() { return *module_; }
    LinkHost &host() { return *host_; }
    // Lines the module received, as text, CR stripped.
    QStringList received();
    void clearReceived() { module_->clearReceived(); }
    MessageLog log;

private:
    std::unique_ptr<sim::PtyModule> module_;
    std::unique_ptr<LinkHost> host_;
};

// Runs the event loop for ms milliseconds.
void pump(int ms);
