#pragma once
// The commissioning report: what a module is, what it holds, whether that
// matches a plan, and what was written to it in this connection, as one A4
// PDF (laid out by Qt's text document and PDF writer) or one self-contained
// HTML file. No module and no windows here: the report is made from what
// the caller gathered.

#include <QList>
#include <QString>
#include <QStringList>

#include "compare/Comparison.h"

struct ReportData {
    // header
    QString version;
    QString when;  // date and time with time zone
    QString host;
    QString port;  // "" when no module
    // identity as read in this connection; empty when no module
    QList<QPair<QString, QString>> identity;
    QString model;
    QString serial;
    // the configuration
    int kind = 0;
    QString source;  // "Read from the module", "File plant-a.qv8"
    QList<SettingKey> keys;
    ModuleSettings values;
    // settings shown as the configuration holds them, not read from the
    // module (its cold-junction reference and Modbus settings)
    QList<SettingKey> kept;
    ModuleSettings keptValues;
    // with a plan file
    QString plan;  // its name; "" when none
    bool planCompared = false;
    Comparison planComparison;
    // writes of this connection
    struct Work {
        QString time, what, reply, result;
        bool ok = false;
    };
    QList<Work> work;
    bool workKnown = false;  // a module was connected, so the trace says what was done
    // one pass of live values: channel, value with unit ("" when none)
    QList<QPair<int, QString>> live;
    QString operatorName;
    QString note;
    // what the report could not get, said on its first page
    QStringList missing;

    // Passed: nothing missing and, with a plan, no difference.
    bool complete() const
    {
        return missing.isEmpty() && (plan.isEmpty() || planComparison.matches());
    }
};

namespace Report {

// The report as HTML, one whole document; `forPdf` leaves out what the PDF
// puts in its page footer.
QString Html(const ReportData &d, bool forPdf = false);

// Writes the report to path: a PDF unless the name ends in .html or .htm.
// Every byte reaches the file or the error says why (and an existing file
// stays as it was).
bool Write(const QString &path, const ReportData &d, QString *error);

// The writes and restarts among the trace's entries from `fromSeq` on.
QList<ReportData::Work> WorkSince(quint64 fromSeq);

}  // namespace Report
