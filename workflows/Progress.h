#pragma once
// Progress of a long exchange with the module, in the main window's status
// bar; hidden again when the work ends, however it ends. The last one is
// kept, so that an interrupted command can say how far it got.

#include <QString>

class Progress {
public:
    // `unit` names what is counted, in the plural ("writes").
    Progress(const QString &what, int total, const QString &unit);
    ~Progress();
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;
    void step();

    // "16 of 49 writes" of the last long exchange; "" when none ran since clearLast().
    static QString lastCount();
    static void clearLast();

private:
    QString what_;
    QString unit_;
    int total_;
    int done_ = 0;
};
