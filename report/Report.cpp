#include "report/Report.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include "app/Init.h"
#include "files/FileWrite.h"
#include "link/LineTrace.h"

namespace Report {

namespace {

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

QString row(const QStringList &cells, bool heading = false)
{
    const QString tag = heading ? QStringLiteral("th") : QStringLiteral("td");
    QString out = QStringLiteral("<tr>");
    for (const QString &c : cells) out += QStringLiteral("<%1>%2</%1>").arg(tag, esc(c));
    return out + QStringLiteral("</tr>\n");
}

QString table(const QStringList &heading, const QList<QStringList> &rows)
{
    QString out = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\" border=\"1\">\n");
    if (!heading.isEmpty())
        out += row(heading, true);
    for (const QStringList &r : rows) out += row(r);
    return out + QStringLiteral("</table>\n");
}

// A setting's name as a heading: "Input type".
QString sentence(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

QString section(const QString &title)
{
    return QStringLiteral("<h2>%1</h2>\n").arg(esc(title));
}

QString paragraph(const QString &text, const QString &cls = QString())
{
    return cls.isEmpty() ? QStringLiteral("<p>%1</p>\n").arg(esc(text))
                         : QStringLiteral("<p class=\"%1\">%2</p>\n").arg(cls, esc(text));
}

// The channel settings of the kind as one table, a column per setting.
QString channelTable(const ReportData &d)
{
    QList<ModuleSettings::Part> parts;
    int channels = 0;
    for (const SettingKey &k : d.keys)
        if (k.ch > 0) {
            channels = qMax(channels, k.ch);
            if (!parts.contains(k.part))
                parts.append(k.part);
        }
    if (channels == 0)
        return QString();
    QStringList heading{Tr("Channel")};
    for (const ModuleSettings::Part part : parts)
        heading << sentence(Tr(Compare::SettingName({part, 1})));
    const bool analog = parts.contains(ModuleSettings::Part::Type);
    if (analog)
        heading << Tr("Unit");
    QList<QStringList> rows;
    for (int ch = 1; ch <= channels; ++ch) {
        QStringList r{QString::number(ch)};
        for (const ModuleSettings::Part part : parts)
            r << Compare::ValueText(d.kind, {part, ch}, d.values);
        if (analog)
            r << ValueUnit(d.kind, d.values.TypeCode[ch]);
        rows << r;
    }
    return table(heading, rows);
}

QString moduleWide(int kind, const QList<SettingKey> &keys, const ModuleSettings &values)
{
    QList<QStringList> rows;
    for (const SettingKey &k : keys)
        if (k.ch == 0)
            rows << QStringList{sentence(Tr(Compare::SettingName(k))),
                                Compare::ValueText(kind, k, values)};
    return rows.isEmpty() ? QString() : table({Tr("Setting"), Tr("Value")}, rows);
}

const char *const kStyle =
    "body { font-size: 9pt; }\n"
    "h1 { font-size: 16pt; margin-bottom: 2pt; }\n"
    "h2 { font-size: 12pt; margin-top: 12pt; margin-bottom: 4pt; }\n"
    "table { border-collapse: collapse; border-color: #999999; margin-bottom: 6pt; }\n"
    "th { background-color: #e8ecf1; text-align: left; }\n"
    "p.pass { color: #1f6f2a; font-weight: bold; }\n"
    "p.fail { color: #b00020; font-weight: bold; }\n"
    "p.sign { margin-top: 28pt; }\n";

}  // namespace

QString Html(const ReportData &d, bool forPdf)
{
    const QString title = Tr("Commissioning report");
    QString h = QStringLiteral(
                    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"/>\n"
                    "<title>%1</title>\n<style>\n%2</style>\n</head><body>\n")
                    .arg(esc(title), QString::fromLatin1(kStyle));
    h += QStringLiteral("<h1>%1</h1>\n").arg(esc(title));
    h += table({}, {{Tr("Program"), QStringLiteral("Kavix %1").arg(d.version)},
                    {Tr("Date and time"), d.when},
                    {Tr("Computer"), d.host},
                    {Tr("Port"), d.port.isEmpty() ? Tr("no module") : d.port}});

    // the verdict first, and what the report lacks
    if (!d.plan.isEmpty() && d.planCompared)
        h += d.planComparison.matches()
                 ? paragraph(Tr("Matches %1.").arg(d.plan), "pass")
                 : paragraph(Tr("Differs from %1: %2.").arg(d.plan, d.planComparison.summary()),
                             "fail");
    if (!d.missing.isEmpty()) {
        h += paragraph(Tr("This report is incomplete:"), "fail");
        h += QStringLiteral("<ul>\n");
        for (const QString &m : d.missing) h += QStringLiteral("<li>%1</li>\n").arg(esc(m));
        h += QStringLiteral("</ul>\n");
    }

    h += section(Tr("Module"));
    if (d.identity.isEmpty()) {
        h += paragraph(Tr("no module: the configuration of a file"));
    } else {
        QList<QStringList> rows;
        for (const auto &[caption, value] : d.identity) rows << QStringList{caption, value};
        h += table({}, rows);
    }

    h += section(Tr("Configuration"));
    h += paragraph(Tr("Model kind %1, %2").arg(d.kind).arg(d.source));
    h += channelTable(d);
    h += moduleWide(d.kind, d.keys, d.values);
    if (!d.kept.isEmpty()) {
        h += paragraph(
            Tr("As the configuration in the window holds them (not read from the module):"));
        h += moduleWide(d.kind, d.kept, d.keptValues);
    }

    if (!d.plan.isEmpty()) {
        h += section(Tr("Comparison with %1").arg(d.plan));
        if (!d.planCompared) {
            h += paragraph(Tr("not compared"));
        } else if (d.planComparison.matches()) {
            h += paragraph(Tr("matches %1").arg(d.plan), "pass");
        } else {
            h += paragraph(d.planComparison.summary(), "fail");
            QList<QStringList> rows;
            for (const CompareRow &r : d.planComparison.rows)
                if (r.differs || !r.known)
                    rows << QStringList{sentence(Tr(Compare::SettingName(r.key))),
                                        r.key.ch > 0 ? QString::number(r.key.ch) : QString(),
                                        r.left, r.known ? r.right : Tr("not read")};
            h +=
                table({Tr("Setting"), Tr("Channel"), d.plan,
                       d.planComparison.rightName == "module" ? Tr("Module") : Tr("Configuration")},
                      rows);
        }
    }

    h += section(Tr("Work done in this connection"));
    if (!d.workKnown) {
        h += paragraph(Tr("no module"));
    } else if (d.work.isEmpty()) {
        h += paragraph(Tr("Nothing was written to the module."));
    } else {
        QList<QStringList> rows;
        for (const ReportData::Work &w : d.work)
            rows << QStringList{w.time, w.what, w.reply, w.result};
        h += table({Tr("Time"), Tr("Write"), Tr("Reply"), Tr("Result")}, rows);
    }

    h += section(Tr("Live values"));
    if (d.live.isEmpty()) {
        h += paragraph(Tr("not read"));
    } else {
        QList<QStringList> rows;
        for (const auto &[ch, value] : d.live) rows << QStringList{QString::number(ch), value};
        h += table({Tr("Channel"), Tr("Value")}, rows);
    }

    if (!d.note.isEmpty()) {
        h += section(Tr("Note"));
        h += paragraph(d.note);
    }
    h += paragraph(Tr("Operator: %1").arg(d.operatorName), "sign");
    h += paragraph(Tr("Signature: ______________________________   Date: ______________"));
    if (!forPdf)
        h += paragraph(Tr("Serial number %1").arg(d.serial.isEmpty() ? Tr("no module") : d.serial));
    return h + QStringLiteral("</body></html>\n");
}

namespace {

QByteArray pdf(const ReportData &d)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(18, 16, 18, 16), QPageLayout::Millimeter);
        writer.setTitle(Tr("Commissioning report"));
        writer.setCreator(QStringLiteral("Kavix %1").arg(d.version));

        QTextDocument doc;
        // the window's language: a Japanese report embeds a Japanese font
        QFont font(textLanguage() == TextLanguage::Japanese ? QStringLiteral("Noto Sans CJK JP")
                                                            : QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(9);
        doc.setDefaultFont(font);
        doc.documentLayout()->setPaintDevice(&writer);
        const QRectF area = writer.pageLayout().paintRectPixels(writer.resolution());
        const qreal footer = writer.resolution() * 0.35;  // about 9 mm
        doc.setPageSize(QSizeF(area.width(), area.height() - footer));
        doc.setHtml(Html(d, true));

        QPainter p(&writer);
        const int pages = doc.pageCount();
        const qreal pageHeight = doc.pageSize().height();
        QFont small = font;
        small.setPointSizeF(7.5);
        for (int page = 0; page < pages; ++page) {
            if (page > 0)
                writer.newPage();
            p.save();
            p.translate(0, -page * pageHeight);
            doc.drawContents(&p, QRectF(0, page * pageHeight, area.width(), pageHeight));
            p.restore();
            p.setFont(small);
            const QRectF bottom(0, area.height() - footer * 0.6, area.width(), footer * 0.6);
            p.drawText(bottom, Qt::AlignLeft | Qt::AlignVCenter,
                       Tr("Serial number %1").arg(d.serial.isEmpty() ? Tr("no module") : d.serial));
            p.drawText(bottom, Qt::AlignRight | Qt::AlignVCenter,
                       Tr("page %1 of %2").arg(page + 1).arg(pages));
        }
    }
    return buffer.data();
}

bool isHtml(const QString &path)
{
    return path.endsWith(".html", Qt::CaseInsensitive) ||
           path.endsWith(".htm", Qt::CaseInsensitive);
}

// The payload of a reply line: "D18<CR>" gives "18".
QByteArray payload(QByteArray reply)
{
    if (reply.endsWith('\r'))
        reply.chop(1);
    return reply.startsWith('D') ? reply.mid(1) : reply;
}

}  // namespace

bool Write(const QString &path, const ReportData &d, QString *error)
{
    return SaveWhole(path, isHtml(path) ? Html(d).toUtf8() : pdf(d), error);
}

QList<ReportData::Work> WorkSince(quint64 fromSeq)
{
    QList<ReportData::Work> work;
    const LineTrace &trace = LineTrace::instance();
    for (quint64 seq = qMax(fromSeq, trace.firstSeq()); seq < trace.nextSeq(); ++seq) {
        const LineTrace::Entry *e = trace.find(seq);
        if (!e || !e->command.startsWith('D'))
            continue;
        const QByteArray data = payload(e->command);
        if (data.isEmpty() || LineTrace::meaning(*e).startsWith("read "))
            continue;
        ReportData::Work w;
        w.time = LineTrace::timeText(*e);
        w.what = LineTrace::meaning(*e, true);
        w.reply = LineTrace::visible(e->reply);
        if (e->result == LineTrace::Result::RestartWrite) {
            w.ok = true;
            w.result = Tr("restart sent");
        } else {
            // the module echoes what it keeps: the value (without the
            // channel), as it writes it ("00" comes back as "0")
            const QByteArray echo = payload(e->reply);
            const auto same = [&echo](const QByteArray &sent) {
                const std::optional<double> a = NumberIn(QString::fromLatin1(sent));
                const std::optional<double> b = NumberIn(QString::fromLatin1(echo));
                return sent == echo || (a && b && *a == *b);
            };
            w.ok = e->result == LineTrace::Result::Done &&
                   (same(data) || (data.size() > 2 && same(data.mid(2))));
            w.result =
                w.ok ? Tr("verified") : Tr("failed: %1").arg(LineTrace::resultText(*e, true));
        }
        work << w;
    }
    return work;
}

}  // namespace Report
