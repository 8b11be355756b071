#include "tests/support/Fixture.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "link/Ports.h"

#include <QEventLoop>
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
    module_ = std::make_unique<sim::PtyModule>(model);
    QString error;
    if (!module_->start(&error))
        qFatal("cannot start simulated module: %s", qPrintable(error));
    host_ = std::make_unique<LinkHost>();
    G().CommForm = host_.get();
    const QString path = module_->portPath();
    Hooks().commPort = [path] {
        G().PortNumber = 3;
        G().PortName = path;
    };
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

QStringList LinkFixture::received()
{
    QStringList out;
    for (const QByteArray &line : module_->received())
        out << QString::fromLatin1(line);
    return out;
}

void pump(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
