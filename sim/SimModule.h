#pragma once
// The module simulator: a stand-in for a real remote I/O module.
//
// ModuleCore is the module's brain with no I/O at all: command lines in,
// reply lines out. PtyModule puts a core behind a pseudo-terminal so the
// program (or a test) opens the slave path exactly like a serial port.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <QSet>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace sim {

// Faults a test or the command line can switch on. Content faults are
// applied by the core, timing faults by the transport.
struct Faults {
    bool silent = false;         // never answer anything
    int delayMs = 0;             // answer this much later (on top of wire pacing)
    int splitPieces = 0;         // >1: send each reply in this many pieces...
    int splitGapMs = 20;         // ...this far apart
    int busyGroupSelects = 0;    // answer "busy" to this many group selects (-1: always)
    bool garbage = false;        // answer every command with a line of junk
    QString refuseWrites;        // non-empty: answer every write with this payload
                                 // ("illegal OPE" or "invalid data")
    int refuseItem = 0;          // >0: refuseWrites holds for writes to this item only
    QByteArray staleTail;        // sent once, right before the first reply: the
                                 // tail of a reply from before (a server restarted)
    bool changedEcho = false;    // echo a different value than was written
    int forgetItem = 0;          // >0: a write to this item is echoed as if kept,
                                 // but the module keeps its old value
    int echoDecimals = -1;       // >=0: a decimal value written (filter, CJM) comes
                                 // back with this many decimals (1.5 as 1.50)
    int stopAfter = -1;          // >=0: stop answering after this many commands
    int skipFirst = 0;           // leave the first this many commands unanswered
    int hangupAfter = 0;         // >0: the port closes (a pulled cable) when this
                                 // command arrives, before any answer to it
    bool noCr = false;           // replies never get their final CR
    QByteArray noise;            // put into every reply right after its D
                                 // (control characters on a noisy line)
    QString swapModel;           // non-empty: after swapAfter commands the model
    int swapAfter = 0;           // name reads as this (another module plugged in)
};

// One line sent on the wire, as the transport gets it from the core.
struct Reply {
    QByteArray bytes;   // what goes out, CR included unless a fault drops it
};

class ModuleCore {
public:
    explicit ModuleCore(const QString &model);

    static QStringList models();          // the ten catalog names, catalog order
    static int kindOf(const QString &model);  // 1..6, 0 when unknown

    QString model() const { return model_; }
    int kind() const { return kind_; }
    int channels() const;                 // 16, 8 or 32

    // Feed raw bytes from the wire; returns the replies for every complete
    // command line (CR-terminated) in them. Bytes after the last CR are kept
    // for the next call.
    QList<Reply> feed(const QByteArray &bytes);

    // Every command line the module received, CR stripped, oldest first.
    QList<QByteArray> received() const { return received_; }
    void clearReceived() { received_.clear(); }

    Faults &faults() { return faults_; }

    // Pin the payload an item read returns (index 0 = no index). Pinned values
    // win over live values; a write to the item replaces the pin.
    void setValue(int item, int index, const QString &payload);
    // The payload a read of item/index would give now.
    QString value(int item, int index);

    // Time source for moving values, in ms; tests may pin it.
    void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

    // Break (or mend) the sensor of a channel. The status of a broken
    // channel turns non-zero while a thermocouple or RTD type is set on it.
    void setBurnout(int channel, bool on);

private:
    struct Shape {
        bool exists = false;
        bool indexed = false;
        int first = 1;          // lowest index a read accepts
        int last = 0;           // highest index
        bool readOnly = false;
    };
    Shape shape(int item) const;
    bool hasItem(int item) const;
    std::optional<QString> handleLine(const QByteArray &line);
    QString dataCommand(const QString &data);
    QString read(int item, int index);
    QString write(int item, int index, const QString &text);
    QString liveValue(int item, int index);
    double baseInput(int ch, qint64 now) const;
    double measured(int ch, qint64 now) const;
    double rawInput(int ch, qint64 now) const;
    bool sensorType(int ch) const;
    int contactInput(int i, qint64 now) const;
    quint32 count(int ch, qint64 now) const;
    qint64 now() const;
    QString modelName() const;

    QString model_;
    int kind_ = 0;
    Faults faults_;
    QList<QByteArray> received_;
    QByteArray pending_;
    std::function<qint64()> clock_;
    int group_ = 0;
    int item_ = -1;
    int commands_ = 0;
    QHash<quint32, QString> values_;      // key: item << 16 | index

    // Settings and states; per-channel lists are indexed from 1.
    QList<int> type_, cjc_, burnout_, zsState_, comp_, out_;
    QList<double> offset_, coef_;
    QStringList preset_;
    QList<qint64> countFrom_;             // clock value of the last clear
    QSet<int> broken_;
    int alarmOut_ = 0, lineNoise_ = 0, edge_ = 0, zeroClear_ = 0, rateMem_ = 0;
    int options_ = 48;
    int node_ = 1, baud_ = 2, parity_ = 1, stopBits_ = 0, float_ = 0;
    QString filter_ = QStringLiteral("1.0");
    QString cjmTemp_ = QStringLiteral("25.000"), cjmVolt_ = QStringLiteral("0.550");
};

// Wire emulation: 10 bits per character at `baud` (0 = instant) plus a module
// turnaround between the end of a command and the start of its reply.
struct Pacing {
    int baud = 0;
    int turnaroundMs = 0;
    // >0: the characters of a reply reach the other end in pieces of at
    // most this many ms of wire time, each when its last character is
    // through (a USB adapter hands them over so). The reply ends no later.
    int pieceMs = 0;
};

class PtyModule {
public:
    explicit PtyModule(const QString &model);
    ~PtyModule();
    PtyModule(const PtyModule &) = delete;
    PtyModule &operator=(const PtyModule &) = delete;

    // Opens the pty pair and starts serving it from a thread.
    bool start(QString *error = nullptr);
    void stop();
    QString portPath() const { return path_; }   // the slave side, open this

    // Thread-safe access to the core while it is being served.
    template <typename F>
    auto withCore(F &&f) {
        std::lock_guard<std::mutex> lock(mutex_);
        return f(core_);
    }
    QList<QByteArray> received();
    void clearReceived();
    void setFaults(const Faults &f);
    void setValue(int item, int index, const QString &payload);
    void setPacing(const Pacing &p);
    // Called from the serving thread with every command line received (CR
    // stripped), as it arrives.
    void setTrace(std::function<void(const QByteArray &line)> trace);
    // Commands that arrived while the module was still answering an
    // earlier one: a master that does not wait for each reply.
    int overlaps() const { return overlaps_; }

private:
    void serve();
    ModuleCore core_;
    Pacing pacing_;
    std::function<void(const QByteArray &)> trace_;
    std::mutex mutex_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<int> overlaps_{0};
    int master_ = -1;
    int slave_ = -1;
    int wakeRead_ = -1, wakeWrite_ = -1;
    QString path_;
};

}  // namespace sim
