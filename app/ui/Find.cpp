#include "app/ui/Find.h"

#include "app/Globals.h"
#include "app/ui/CommandLine.h"
#include "link/ModuleFinder.h"
#include "link/Ports.h"
#include "link/Transport.h"

#include <QCoreApplication>

#include <cstdio>

int RunFind(int argc, char *argv[])
{
    QStringList ports;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == "--find")
            continue;
        if (a.startsWith('-'))
            return CommandLine::usageError(a + " does not work with --find");
        QString bad;
        if (IsNetworkPort(a) && !ParseNetworkPort(a, &bad))
            return CommandLine::usageError(bad);
        ports << a;
    }
    QCoreApplication app(argc, argv);
    if (ports.isEmpty())
        for (const PortEntry &e : SerialPorts())
            ports << e.path;
    ModuleFinder finder;
    const QList<FoundModule> found = finder.find(ports);
    for (const FoundModule &m : found)
        std::printf("%s %s\n", qPrintable(m.port), qPrintable(VisibleText(m.model)));
    if (found.isEmpty()) {
        std::fprintf(stderr, "kavix: no module answered on %lld port(s)\n",
                     static_cast<long long>(ports.size()));
        return 1;
    }
    return 0;
}
