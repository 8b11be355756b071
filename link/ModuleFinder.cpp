#include "link/ModuleFinder.h"

#include "link/Ports.h"
#include "link/Transport.h"

#include <QEventLoop>
#include <QSet>
#include <QTimer>

struct ModuleFinder::Probe {
    QString path;
    std::unique_ptr<Transport> port;
    QTimer timer;
    QByteArray input;
    int stage = 0;  // 0 group select, 1 item select, 2 model name
    int busy = 0;
    QString model;
    bool ended = false;
};

ModuleFinder::ModuleFinder(QObject *parent) : QObject(parent) {}

ModuleFinder::~ModuleFinder() = default;

void ModuleFinder::send(Probe *p, const char *line)
{
    p->input.clear();
    p->port->write(line);
    p->timer.start(replyMs_);
}

void ModuleFinder::step(Probe *p, const QByteArray &line)
{
    if (!line.startsWith('D'))
        return end(p);
    const QString payload = QString::fromLatin1(line.mid(1)).trimmed();
    switch (p->stage) {
    case 0:
        if (payload == "enter item") {
            p->stage = 1;
            return send(p, "I90\r");
        }
        // a module in the middle of something says so; ask again, as connecting does
        if (payload == "busy" && ++p->busy < 3)
            return send(p, "G01\r");
        return end(p);
    case 1:
        p->stage = 2;
        return send(p, "D\r");
    default:
        p->model = payload;
        return end(p);
    }
}

void ModuleFinder::end(Probe *p)
{
    if (p->ended)
        return;
    p->ended = true;
    p->timer.stop();
    // Closed from the event loop, never inside the port's own notification.
    QTimer::singleShot(0, this, [this, p] {
        p->port->close();
        ++done_;
        emit progress(done_, int(probes_.size()));
        if (done_ == int(probes_.size()))
            emit finished();
    });
}

void ModuleFinder::cancel()
{
    for (auto &p : probes_)
        end(p.get());
}

QList<FoundModule> ModuleFinder::find(const QStringList &ports, int replyMs)
{
    probes_.clear();
    done_ = 0;
    replyMs_ = replyMs;
    running_ = true;
    QSet<QString> seen;
    for (const QString &path : ports) {
        const QString device = ResolvedPort(path);
        if (path.isEmpty() || seen.contains(device))
            continue;
        seen.insert(device);
        probes_.push_back(std::make_unique<Probe>());
        Probe *p = probes_.back().get();
        p->path = path;
        p->timer.setSingleShot(true);
        p->timer.setTimerType(Qt::PreciseTimer);  // never gives up before the reply time
        connect(&p->timer, &QTimer::timeout, this, [this, p] { end(p); });
        // A network port is taken as it is; a device as the device it stands for.
        p->port = Transport::forPort(IsNetworkPort(path) ? path : device);
        connect(p->port.get(), &Transport::readyRead, this, [this, p] {
            p->input += p->port->readAll();
            const int cr = p->input.indexOf('\r');
            if (cr >= 0)
                step(p, p->input.left(cr));
            else if (p->input.size() > 256)
                end(p);  // no line, only noise
        });
        connect(p->port.get(), &Transport::lost, this, [this, p] { end(p); });
        connect(p->port.get(), &Transport::failed, this, [this, p] { end(p); });
        QString error;
        // (a network port connects with events running: the search may end meanwhile)
        if (!p->port->openLine(&error))
            end(p);  // absent, busy or not ours: nothing to find there
        else if (!p->ended)
            send(p, "G01\r");
    }
    if (done_ < int(probes_.size())) {
        QEventLoop loop;
        connect(this, &ModuleFinder::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    running_ = false;
    QList<FoundModule> found;
    for (const auto &p : probes_)
        if (!p->model.isEmpty())
            found.append({p->path, p->model});
    return found;
}
