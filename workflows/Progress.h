#pragma once
// Progress of a long exchange with the module, in the main window's status
// bar; hidden again when the work ends, however it ends.

#include <QString>

class Progress {
public:
    Progress(const QString &what, int total);
    ~Progress();
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;
    void step();

private:
    QString what_;
    int total_;
    int done_ = 0;
};
