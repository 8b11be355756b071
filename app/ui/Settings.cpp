#include "app/ui/Settings.h"

QSettings &Settings()
{
    static QSettings settings(QSettings::IniFormat, QSettings::UserScope, "kavix", "kavix");
    return settings;
}
