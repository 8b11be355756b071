#pragma once
// Progress of a long exchange with the module, in the main window's status
// bar; hidden again when the work ends, however it ends.

#include <QPointer>
#include <QString>

class frmMain;

class Progress {
public:
    Progress(frmMain *m, const QString &what, int total);
    ~Progress();
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;
    void step();

private:
    QPointer<frmMain> m_;
    QString what_;
    int total_;
    int done_ = 0;
};
