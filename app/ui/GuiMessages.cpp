#include "app/ui/GuiMessages.h"

#include "app/Init.h"
#include "app/Messages.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

void InstallGuiMessages()
{
    Hooks().msgBox = [](const QString &text, const QString &title, MsgIcon icon) {
        QMessageBox::Icon qi = QMessageBox::NoIcon;
        switch (icon) {
        case MsgIcon::Critical: qi = QMessageBox::Critical; break;
        case MsgIcon::Exclamation: qi = QMessageBox::Warning; break;
        case MsgIcon::Information: qi = QMessageBox::Information; break;
        case MsgIcon::None: break;
        }
        QMessageBox box(qi, title, text, QMessageBox::Ok, QApplication::activeWindow());
        // texts may carry what a module sent: never render them as markup
        box.setTextFormat(Qt::PlainText);
        box.exec();
    };
}

QList<QTranslator *> InstallQtTranslations()
{
    QList<QTranslator *> installed;
    if (textLanguage() != TextLanguage::Japanese)
        return installed;
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char *catalog : {"qtbase_ja", "qtserialport_ja"}) {
        auto *t = new QTranslator(QCoreApplication::instance());
        if (t->load(QString::fromLatin1(catalog), dir) && QCoreApplication::installTranslator(t))
            installed << t;
        else
            delete t;
    }
    return installed;
}
