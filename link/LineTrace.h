#pragma once
// A record of every exchange on the line as it happens: what went out,
// what came back, how long the module took and what the line meant. The
// newest 100,000 entries are kept in a ring, so memory stays bounded however
// long the program runs. Nothing here needs a window.

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <deque>
#include <optional>

class LineTrace : public QObject {
    Q_OBJECT
public:
    enum class Result : quint8 {
        Done,          // a reply line that passes the reply check
        Timeout,       // no complete reply in time
        Refused,       // "illegal OPE", "invalid data", or a group not entered
        InvalidReply,  // a complete line that fails the reply check
        PortError,     // the port failed; the entry holds its text
        LateInput,     // bytes no exchange was waiting for, dropped
        RestartWrite,  // the restart write, sent without waiting
        Abandoned,     // given up without a reply: port closed or program ending
    };

    struct Entry {
        quint64 seq = 0;            // position in the whole recording, from 0
        qint64 wallMs = 0;          // when the command went out, ms since the epoch
        QByteArray command;         // as written, CR included
        QByteArray reply;           // as received; late input: the bytes dropped
        QString error;              // port error text
        quint32 roundTripUs = 0;
        Result result = Result::Done;
        bool retry = false;         // a repeat of a command that failed
        bool behindReply = false;   // late input that came behind a reply's CR
        qint8 kind = 0;             // model kind when it was sent
        qint8 group = -1;           // group entered before this line (-1: none seen)
        qint8 item = -1;            // item this line works on (-1: none)
    };

    struct Counters {
        quint64 exchanges = 0, timeouts = 0, refusals = 0, invalid = 0, portErrors = 0,
                lateInputs = 0, retries = 0;
        quint64 replies = 0;        // exchanges that ended with a complete reply line
        double totalMs = 0;         // their round trips, for the mean
        double longestMs = 0;
        double meanMs() const { return replies ? totalMs / double(replies) : 0.0; }
    };

    static constexpr int Capacity = 100000;

    static LineTrace &instance();

    // Records one exchange; the link calls this when the exchange ends, before
    // the next command can go out, so the trace keeps the order of the line.
    // `retry`: the exchange was marked a retry when it was sent (by default:
    // the mark pending now).
    void record(const QByteArray &command, const QByteArray &reply, qint64 wallMs,
                qint64 elapsedNs, Result result, const QString &error = QString(),
                std::optional<bool> retry = std::nullopt);
    // Records bytes that were dropped. Bytes behind a reply's CR are entered
    // right after that exchange's own entry.
    void lateInput(const QByteArray &bytes, bool behindReply);
    // The next exchange recorded repeats one that failed. Callers that try a
    // command again say so here (the group select, a re-sent item select).
    static void markRetry();
    // Takes the pending retry mark for the exchange being sent now.
    static bool takeRetry();

    // Entries kept now: sequence numbers firstSeq() .. nextSeq() - 1.
    quint64 firstSeq() const { return nextSeq_ - entries_.size(); }
    quint64 nextSeq() const { return nextSeq_; }
    int size() const { return int(entries_.size()); }
    // The entry with this sequence number, nullptr once it left the ring.
    const Entry *find(quint64 seq) const;
    const Counters &counters() const { return counters_; }
    // Forgets every entry and zeroes the counters.
    void clear();

    // Presentation, shared by the window, its copy and save, and batch mode.
    static QString visible(const QByteArray &bytes);   // "<CR>", "<0x07>" ...
    static QString timeText(const Entry &e);
    static QString roundTripText(const Entry &e);
    // In English, or in the display language for the window (`shown`).
    static QString resultText(const Entry &e, bool shown = false);
    static QString meaning(const Entry &e, bool shown = false);
    static bool isError(const Entry &e);
    // One tab-separated line: time, command, reply, ms, result, meaning.
    static QString line(const Entry &e);
    static QString header();
    // How a complete reply line is judged (by the protocol's reply check).
    static Result judge(const QByteArray &command, const QByteArray &reply);

signals:
    void appended(const LineTrace::Entry &e);
    void cleared();

private:
    LineTrace() = default;
    void append(Entry &&e);
    // An entry for dropped bytes, in the protocol place of the last line.
    void appendLate(const QByteArray &bytes, qint64 wallMs, bool behindReply);

    std::deque<Entry> entries_;
    quint64 nextSeq_ = 0;
    Counters counters_;
    bool retryPending_ = false;
    QByteArray pendingTail_;       // dropped bytes behind the reply being recorded
    qint64 pendingTailMs_ = 0;
    qint8 group_ = -1, item_ = -1;
};

// Times one exchange of the link and records it once, when it ends; an
// exchange that ends by no other way is recorded as abandoned. The link ends
// it as its reply comes, not when the caller's wait returns: a handler's
// exchange queued behind it must not go into the trace before it.
class TracedExchange {
public:
    // Takes the retry mark pending for the command.
    explicit TracedExchange(const QByteArray &command);
    ~TracedExchange();
    TracedExchange(const TracedExchange &) = delete;
    TracedExchange &operator=(const TracedExchange &) = delete;

    // A reply line came (or the time ran out with what had come so far).
    void ended(const QByteArray &reply, bool timedOut);
    void restartWrite();
    // Given up without a reply (port closed, program ending).
    void abandoned();
    // Records the port error (unless already recorded) and hands its text on.
    const QString &portError(const QString &text);
    // The command is written now: the round trip counts from here.
    void sending();

private:
    void end(LineTrace::Result r, const QByteArray &reply, const QString &error);
    QByteArray command_;
    qint64 wallMs_;
    QElapsedTimer clock_;
    bool retry_;
    bool recorded_ = false;
};
