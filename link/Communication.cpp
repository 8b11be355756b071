#include "link/Communication.h"

#include "app/Commands.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/Messages.h"
#include "app/Process.h"
#include "link/LineTrace.h"
#include "link/Transport.h"
#include "link/TxtBus.h"

#include <QEventLoop>
#include <QTimer>

#include <utility>

LinkHost::LinkHost(QObject *parent) : QObject(parent)
{
    Timer1.setSingleShot(true);
    Timer1.setInterval(2000);
    // A coarse timer may fire up to 5 % early and fail a module that answers in time.
    Timer1.setTimerType(Qt::PreciseTimer);
    connect(&Timer1, &QTimer::timeout, this, &LinkHost::onTimer1);
}

LinkHost::~LinkHost()
{
    if (current_)
        abortExchange();
    if (G().CommForm == this)
        G().CommForm = nullptr;
}

bool LinkHost::openLine(const QString &port, QString *error)
{
    // The line of an earlier open may still have a signal on the stack.
    if (line_) {
        line_->disconnect(this);
        line_->close();
        line_.release()->deleteLater();
    }
    line_ = Transport::forPort(port);
    Transport *line = line_.get();
    connect(line, &Transport::readyRead, this, &LinkHost::onReadyRead);
    connect(line, &Transport::lost, this, &LinkHost::onLineLost);
    connect(line, &Transport::failed, this, &LinkHost::onLineFailed);
    QPointer<LinkHost> self(this);
    QPointer<Transport> opening(line);
    const bool open = line->openLine(error);
    // the window may have gone while a network line was connecting
    if (!self || !opening)
        return false;
    if (!open)
        line->close();
    return open;
}

bool LinkHost::lineOpen() const
{
    return line_ && line_->isOpen();
}

void LinkHost::closeLine()
{
    if (line_)
        line_->close();
}

void LinkHost::finish(Exchange *ex)
{
    ex->done = true;
    // Into the trace now, with the item selected for it and its own round
    // trip: a handler's exchange waiting behind this one goes out next,
    // while the caller of this one may not look again until it is over.
    if (TracedExchange *t = std::exchange(ex->trace, nullptr)) {
        if (!ex->failed)
            t->ended(ex->reply, ex->timedOut);
        else if (!ex->errorText.isEmpty())
            t->portError(ex->errorText);
        else
            t->abandoned();
    }
    if (current_ == ex) {
        current_ = nullptr;
        Timer1.stop();
    }
    emit exchangeEnded();
}

void LinkHost::abortExchange()
{
    if (!current_)
        return;
    current_->failed = true;
    finish(current_);
}

void LinkHost::onReadyRead()
{
    if (line_)
        take(line_->readAll());
}

void LinkHost::take(const QByteArray &data)
{
    if (data.isEmpty())
        return;
    // Bytes that arrive while no exchange waits are a late answer to a
    // command that already gave up: never let them count for the next one.
    if (!current_)
        return LineTrace::instance().lateInput(data, false);
    Exchange *ex = current_;
    const int cr = data.indexOf('\r');
    // The limit holds however the line arrives: in pieces, or whole in one read.
    if (ex->reply.size() + (cr >= 0 ? cr : data.size()) > MaxReplyLength) {
        ex->failed = true;
        ex->errorText = Tr("Reply too long: no end of line after %1 characters")
                            .arg(MaxReplyLength);
        finish(ex);
        return;
    }
    if (cr >= 0) {
        ex->reply += data.left(cr + 1);  // anything behind the CR is dropped
        LineTrace::instance().lateInput(data.mid(cr + 1), true);
        finish(ex);
        return;
    }
    ex->reply += data;
}

void LinkHost::onTimer1()
{
    Timer1.stop();
    // The time-out belongs to the exchange that waits; with none waiting
    // there is nothing to mark (a stray timer must not fail the next one).
    if (!current_)
        return;
    // what the line holds of the reply counts: it may even be whole
    onReadyRead();
    if (!current_)
        return;
    current_->timedOut = true;
    finish(current_);
}

void LinkHost::onLineFailed(const QString &text)
{
    if (current_ && !lost_) {
        current_->failed = true;
        current_->errorText = text;
        finish(current_);
    }
}

void LinkHost::onLineLost()
{
    // A hung-up port (a pulled adapter, a pty whose other end closed) or a
    // closed connection: the line is gone, whatever error came with it.
    if (lost_ || !lineOpen())
        return;
    lost_ = true;
    G().Connected = false;
    // whatever the work on the line was, it was not done
    Outcome::failed();
    QuietAfterPortLoss() = true;
    Timer1.stop();
    if (current_) {
        current_->failed = true;  // without a text: the exchange gives up quietly
        finish(current_);
    }
    // Closed from the event loop, not inside the port's own notification.
    QTimer::singleShot(0, this, [this] { dropLostPort(); });
}

void LinkHost::dropLostPort()
{
    const QString what = line_ ? line_->lostText() : device_;
    closeLine();
    MainPanel::instance().setPort(QString());
    // the status bar and the open windows say so now, not when the work ends
    MainPanel::instance().setLinkState(MainPanel::LinkState::NotConnected);
    if (Hooks().portGone)
        Hooks().portGone();
    AppState &s = G();
    // the monitoring cycle ends, a pause by the open Monitor menu too
    s.MonitorRun = false;
    s.MenuPause = false;
    Commands &cmd = Commands::instance();
    emit cmd.wake();
    // The window returns to the disconnected state at once when nothing
    // runs, else once the work that used the port has unwound; until then
    // that work says nothing more.
    const auto settle = [this] {
        if (!lost_)
            return;  // a new link came up meanwhile (from an editor, say): keep it
        CommClose();
        if (Hooks().linkLost)
            Hooks().linkLost(true);
    };
    const bool working = cmd.workflowRunning();
    if (!working)
        settle();
    QuietAfterPortLoss() = false;
    // No error text of the port: a hung-up port reads nothing, and the
    // text is whatever error came before.
    MsgBox(Tr("The connection to the module was lost: %1").arg(what),
           LoadResString(3001), MsgIcon::Exclamation);
    if (working) {
        QuietAfterPortLoss() = true;
        connect(&cmd, &Commands::idle, this, settle, Qt::SingleShotConnection);
    }
}

LinkHost *&MainLink()
{
    static LinkHost *host = nullptr;
    return host;
}

QString PortDevice(const QString &portName, int portNumber)
{
#ifdef Q_OS_WIN
    if (portNumber == 1 || portNumber == 2)
        return QString("COM%1").arg(portNumber);
#else
    if (portNumber == 1 || portNumber == 2)
        return QString("/dev/ttyS%1").arg(portNumber - 1);
#endif
    return portName;
}

namespace {
bool openCancelled = false;

// A link that is not up is not left half open: the port is closed again,
// so the next attempt asks for the port and opens it anew.
void linkDown(bool wasConnected)
{
    CommClose();
    if (Hooks().linkLost)
        Hooks().linkLost(wasConnected);
}
}  // namespace

bool CommOpenCancelled()
{
    return openCancelled;
}

void CommOpen()
{
    AppState &s = G();
    LinkHost *h = s.CommForm;
    openCancelled = false;
    // a new link: what it says counts again
    QuietAfterPortLoss() = false;
    if (!h)
        return;
    const bool wasConnected = s.Connected;
    if (!s.Connected) {
        if (!h->lineOpen()) {
            s.PortNumber.reset();
            s.PortName.clear();
        }
        if (Hooks().commPort)
            Hooks().commPort();
        if (!h->lineOpen()) {
            if (!s.PortNumber) {
                // the user closed the port dialog: nothing to report
                openCancelled = true;
                return;
            }
            const QString device = PortDevice(s.PortName, *s.PortNumber);
            QString error;
            QPointer<LinkHost> host(h);
            const bool open = h->openLine(device, &error);
            if (!host || AppEnding())
                return;
            if (!open) {
                MsgBox(error, LoadResString(3001), MsgIcon::Exclamation);
                return linkDown(false);
            }
            h->device_ = device;
            h->lost_ = false;
        }
    }
    QString reply;
    s.Connected = GroupCommand(1, reply);
    if (!s.Connected) {
        // the last word of a failed connect: which port, and what to check
        MsgBox(LoadResString(3000) + "\n\n" +
                   Tr("No module answered on %1.\nCheck the cable, that the module has power, "
                      "that this is the port it is connected to, and the module's address "
                      "settings.")
                       .arg(h->device_),
               LoadResString(3001), MsgIcon::Exclamation);
        return linkDown(wasConnected);
    }
    MainPanel &panel = MainPanel::instance();
    if (panel.port() != h->device_)
        panel.setPort(h->device_);
    if (panel.linkState() == MainPanel::LinkState::NotConnected)
        panel.setLinkState(MainPanel::LinkState::Connected);
}

void CommClose()
{
    AppState &s = G();
    if (LinkHost *h = s.CommForm) {
        h->Timer1.stop();
        h->abortExchange();
        h->closeLine();
        h->lost_ = false;
    }
    MainPanel &panel = MainPanel::instance();
    if (!panel.port().isEmpty())
        panel.setPort(QString());
    if (panel.linkState() != MainPanel::LinkState::NotConnected)
        panel.setLinkState(MainPanel::LinkState::NotConnected);
    s.PortNumber.reset();
    s.PortName.clear();
    s.Connected = false;
    s.TimeoutFlag = false;
    s.Identified = false;
}

namespace {

// Waits in a nested event loop (window events keep running) until `done`
// says so, the host goes away or the program ends. Never spins.
template <typename Pred>
void waitUntil(const QPointer<LinkHost> &h, Pred done)
{
    while (h && !done() && !AppEnding()) {
        QEventLoop loop;
        QObject::connect(h.data(), &LinkHost::exchangeEnded, &loop, &QEventLoop::quit);
        QObject::connect(h.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

quint64 &exchangeCounter()
{
    static quint64 count = 0;
    return count;
}

// An exchange that ends without a reply and without a word to the user
// (no host, program ending, port closed under it).
QString giveUp()
{
    G().TimeoutFlag = true;
    return QString();
}

QString portFailure(const QString &text)
{
    MsgBox(text, Tr("Send/Receive"), MsgIcon::Critical);
    G().TimeoutFlag = true;
    return QString();
}

}  // namespace

quint64 ExchangeCount()
{
    return exchangeCounter();
}

void LetLineSettle(int ms)
{
    QPointer<LinkHost> h = G().CommForm;
    if (!h || AppEnding() || Process::received())
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    QObject::connect(h.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
    QObject::connect(&Commands::instance(), &Commands::wake, &loop, &QEventLoop::quit);
    loop.exec();
}

QString SendReceive(const QString &command)
{
    AppState &s = G();
    QPointer<LinkHost> h = s.CommForm;
    // Nothing new goes out once the program is ending or was interrupted.
    if (!h || AppEnding() || Process::received())
        return giveUp();

    // One exchange at a time: a command started by an event handler while
    // another waits for its reply goes out only after that one has ended.
    waitUntil(h, [&] { return !h->exchangeInProgress(); });
    if (!h || AppEnding() || Process::received())
        return giveUp();

    // The port vanished: the work gives up at once; the loss was reported.
    if (h->portLost())
        return giveUp();
    const QByteArray bytes = command.toLatin1();
    TracedExchange trace(bytes);
    if (!h->lineOpen())
        return portFailure(trace.portError(Tr("Port is not open")));
    Transport &port = *h->line();

    // Whatever is still in the input is a late answer to an earlier command.
    LineTrace::instance().lateInput(port.readAll(), false);
    port.discardInput();

    LinkHost::Exchange ex;
    ex.trace = &trace;
    h->current_ = &ex;
    ++exchangeCounter();
    trace.sending();
    if (port.write(bytes) != bytes.size()) {
        ex.failed = true;
        ex.errorText = port.errorString();
        h->finish(&ex);
        return portFailure(ex.errorText);
    }
    h->Timer1.start();

    if (s.RestartPending && command.startsWith('D')) {
        // The restart write: the module answers nothing.
        s.RestartPending = false;
        trace.restartWrite();
        h->finish(&ex);
        return command;
    }

    waitUntil(h, [&] { return ex.done; });
    if (!ex.done) {
        // host gone or program ending: give up quietly
        ex.failed = true;
        if (h && h->current_ == &ex)
            h->finish(&ex);
        return giveUp();
    }
    // the trace has it already (finish)
    if (ex.failed)
        return ex.errorText.isEmpty() ? giveUp() : portFailure(ex.errorText);
    if (ex.timedOut) {
        // Told at once; whether the work failed is its caller's to say (a
        // retry may still get the answer).
        MsgBox(Tr("Timeout"), Tr("Send/Receive"), MsgIcon::Critical, MsgOutcome::Note);
        s.TimeoutFlag = true;
    }
    return QString::fromLatin1(ex.reply);
}
