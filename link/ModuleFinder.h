#pragma once
// Finds the ports where a module answers: every port is opened at once,
// sent the group select G01 and, when "enter item" comes back, asked for
// its model name (item 90). Every port is closed again before find()
// returns; nothing here touches the main link.

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

struct FoundModule {
    QString port;
    QString model;
};

class ModuleFinder : public QObject {
    Q_OBJECT
public:
    // A module answers a line within a few tens of milliseconds (16
    // characters at 9600 baud take 17 ms, plus its turnaround); the 2000 ms
    // of normal work are for a busy module in the middle of a job. A port
    // with nothing on it costs the whole wait, and all ports wait at once,
    // so a search ends within about half a second after the last answer.
    static constexpr int kReplyMs = 500;

    explicit ModuleFinder(QObject *parent = nullptr);
    ~ModuleFinder() override;

    // Tries the ports and returns where a module answered, in the order
    // given. Waits in a nested event loop: window events keep running.
    QList<FoundModule> find(const QStringList &ports, int replyMs = kReplyMs);
    // Ends a search in progress at once (ports closed, nothing found there).
    void cancel();
    bool running() const { return running_; }

signals:
    void progress(int done, int total);
    void finished();

private:
    struct Probe;
    void step(Probe *p, const QByteArray &line);
    void send(Probe *p, const char *line);
    void end(Probe *p);

    std::vector<std::unique_ptr<Probe>> probes_;
    int replyMs_ = kReplyMs;
    int done_ = 0;
    bool running_ = false;
};
