#pragma once
// Message boxes on screen: one OK button, the given title and icon,
// over the active window.

#include <QList>

class QTranslator;

void InstallGuiMessages();

// Qt's own texts (buttons of the standard dialogs, the file dialog, port
// errors) in Japanese when the program speaks Japanese, from the Qt
// translations of the system. Returns what it installed.
QList<QTranslator *> InstallQtTranslations();
