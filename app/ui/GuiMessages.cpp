#include "app/ui/GuiMessages.h"

#include "app/Messages.h"

#include <QApplication>
#include <QMessageBox>

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
