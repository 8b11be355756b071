#include "monitor/frmB6.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "link/TxtBus.h"

#include <QLabel>
#include <QPushButton>

frmB6::frmB6()
    : ContactMonitor({"B6", "2032", "Output Contacts", true})
{
    for (int i = 1; i <= kContacts; ++i)
        connect(cmdOut[i], &QPushButton::clicked, this, [this, i] { cmdOut_Click(i); });
    loadWindow();
}

frmB6::~frmB6() = default;

void frmB6::B6()
{
    display();
}

void frmB6::cmdOut_Click(int i)
{
    // A later click replaces a request not yet served.
    G().DoRequest = i;
}

void frmB6::DiscreteDown()
{
    AppState &s = G();
    const int contact = s.DoRequest;
    if (contact < 1 || contact > kContacts) {
        // no such contact: nothing can be sent for it
        s.DoRequest = 0;
        return;
    }
    // The new state is the opposite of the one shown; an unknown state
    // switches the contact off.
    const int n = Label1[contact]->text() == "OFF" ? 1 : 0;
    const QString value = Fmt00(contact) + QString::number(n);
    QString reply;
    const bool done = ParameterWrite(7, value, reply) && WholeNumber(reply) == n;
    // Served, or reported once and dropped; a click made meanwhile stays.
    if (s.DoRequest == contact)
        s.DoRequest = 0;
    if (done)
        return;
    MsgBox(LoadResString(3003) + "\r\n" + "Out= " + value + "\r" + " In= " + VisibleText(reply),
           "Descrete Down", MsgIcon::Critical);
}
