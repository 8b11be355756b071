#pragma once
// The line trace window: every exchange with the module as it happens, what
// it meant and how long it took, with counters below. A tool window beside
// the main window; it never talks to the module itself.

#include "link/LineTrace.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <deque>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;
class QTimer;

// The kept entries as rows (a row is a sequence number of the trace), the
// ones a filter lets through. Rows follow the trace only when sync() runs,
// so a paused view stays as it is.
class TraceModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColTime, ColCommand, ColReply, ColMs, ColResult, ColMeaning, ColCount };
    enum class Filter { All, Errors, Item };

    explicit TraceModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // Takes in what the trace recorded since the last call.
    void sync();
    void setFilter(Filter f, int item);
    // nullptr when the row's entry has left the ring meanwhile.
    const LineTrace::Entry *entry(int row) const;

private:
    bool passes(const LineTrace::Entry &e) const;
    void rebuild();

    std::deque<quint64> rows_;
    quint64 seen_ = 0;   // next sequence number not yet looked at
    Filter filter_ = Filter::All;
    int item_ = 0;
};

class frmTrace : public QWidget {
    Q_OBJECT
public:
    frmTrace();

    // Opens the window (or brings it to the front).
    static void ShowTrace();

    QTableView *grdTrace = nullptr;
    QLabel *lblCounters = nullptr;
    QPushButton *cmdPause = nullptr;  // checkable: the view holds still, recording goes on
    QPushButton *cmdClear = nullptr;
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdSave = nullptr;
    QComboBox *cboFilter = nullptr;   // all / errors only / one item
    QSpinBox *txtItem = nullptr;      // the item number for "one item"
    TraceModel *model() const { return model_; }

    // Handlers
    void cmdClear_Click();
    void cmdCopy_Click();
    void cmdSave_Click();
    // Writes the rows shown to the file; false with the message shown.
    bool SaveTo(const QString &name);
    // Brings the view and the counters up to date now (also done on a timer).
    void Refresh();

private:
    void applyFilter();
    // The Command column made wide enough for this line.
    void fitCommand(const QString &command);
    TraceModel *model_ = nullptr;
    int measured_ = 0;  // rows whose command width is known
    QTimer *refresh_ = nullptr;
    // The view keeps to the newest exchange until the user scrolls away
    // from it, and again once back at the bottom.
    bool following_ = true;
};
