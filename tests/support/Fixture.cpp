#include "tests/support/Fixture.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "link/Ports.h"

#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QTimer>

char *toString(const MsgIcon &i)
{
    static const char *names[] = {"None", "Critical", "Exclamation", "Information"};
    return qstrdup(names[static_cast<int>(i)]);
}

char *toString(const ShownMessage &m)
{
    char *icon = toString(m.icon);
    QByteArray s = QString("{%1 | %2 | %3}")
                       .arg(m.text.toHtmlEscaped(), m.title, QString::fromLatin1(icon))
                       .toUtf8()
                       .replace("\r", "\\r")
                       .replace("\n", "\\n");
    delete[] icon;
    return qstrdup(s.constData());
}

const ShownMessage kTimedOut{"Timeout", "Send/Receive", MsgIcon::Critical};

ShownMessage downloadIncomplete(const QString &title)
{
    return {"Download Incomplete", title, MsgIcon::Critical};
}

ShownMessage uploadIncomplete(const QString &title)
{
    return {"Upload Incomplete", title, MsgIcon::Critical};
}

ShownMessage writeRefused(const QString &line, int item)
{
    return {QString("invalid data %1\r\r\nat item %2").arg(line).arg(item), "Parameter Write",
            MsgIcon::Critical};
}

MessageLog::MessageLog()
{
    Hooks().msgBox = [this](const QString &text, const QString &title, MsgIcon icon) {
        messages.append({text, title, icon});
    };
}

MessageLog::~MessageLog()
{
    Hooks().msgBox = nullptr;
}

QStringList MessageLog::titles() const
{
    QStringList t;
    for (const auto &m : messages)
        t << m.title;
    return t;
}

LinkFixture::LinkFixture(const QString &model)
{
    AppEnding() = false;
    QuietAfterPortLoss() = false;
    InitData();
    module_ = startedModule(model);
    host_ = std::make_unique<LinkHost>();
    G().CommForm = host_.get();
    usePort(module_->portPath());
    Hooks().linkLost = nullptr;
}

LinkFixture::~LinkFixture()
{
    CommClose();
    G().CommForm = nullptr;
    host_.reset();
    module_->stop();
    Hooks().commPort = nullptr;
    PortLister() = nullptr;
    PortFactsSeam() = nullptr;
}

QStringList linesOf(sim::PtyModule &m)
{
    QStringList out;
    for (const QByteArray &line : m.received())
        out << QString::fromLatin1(line);
    return out;
}

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    getrlimit(RLIMIT_FSIZE, &limit_);
    rlimit low = limit_;
    low.rlim_cur = rlim_t(bytes);
    if (setrlimit(RLIMIT_FSIZE, &low) != 0)
        qFatal("cannot limit the file size");
    struct sigaction ignore{};
    ignore.sa_handler = SIG_IGN;  // the write fails instead of ending the process
    sigaction(SIGXFSZ, &ignore, &onSignal_);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &limit_);
    sigaction(SIGXFSZ, &onSignal_, nullptr);
}

void pump(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

std::unique_ptr<sim::PtyModule> startedModule(const QString &model)
{
    auto m = std::make_unique<sim::PtyModule>(model);
    QString error;
    if (!m->start(&error))
        qFatal("cannot start simulated module: %s", qPrintable(error));
    return m;
}

sim::Faults faults(const std::function<void(sim::Faults &)> &set)
{
    sim::Faults f;
    set(f);
    return f;
}

void pin(sim::PtyModule &m, const QStringList &pins)
{
    for (const QString &p : pins)
        m.setValue(p.section(':', 0, 0).toInt(), p.section(':', 1, 1).toInt(), p.section(':', 2));
}

QString valueIn(sim::PtyModule &m, int item, int index)
{
    return m.withCore([&](sim::ModuleCore &c) { return c.value(item, index); });
}

void usePort(const QString &path)
{
    Hooks().commPort = [path] {
        G().PortNumber = 3;
        G().PortName = path;
    };
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList pairs(const QStringList &itemData)
{
    QStringList out;
    for (const QString &id : itemData)
        out << "I" + id.section('=', 0, 0) << "D" + id.section('=', 1);
    return out;
}
