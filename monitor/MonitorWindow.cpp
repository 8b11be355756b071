#include "monitor/MonitorWindow.h"

#include "app/Commands.h"
#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"

#include <QAction>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

MonitorWindow::MonitorWindow()
{
    embed();
}

MonitorWindow::~MonitorWindow() = default;

void MonitorWindow::embed()
{
    QMdiArea *area = DataArea();
    if (!area)
        return;
    // No title bar: the data window fills the MDI area at a fixed place, and
    // the user never moves or closes it; the model menu and connect swap it.
    QMdiSubWindow *sub = area->addSubWindow(this, Qt::SubWindow | Qt::FramelessWindowHint);
    // A close from anywhere (closing all sub-windows, say) only hides it:
    // the window stays loaded for the rest of the run.
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->setSystemMenu(nullptr);
    sub->hide();
}

void MonitorWindow::showAsDataWindow(const QString &suffix)
{
    ShowForm(this);
    MainPanel::instance().setData(0, suffix);
}

void MonitorWindow::setMenus(std::initializer_list<std::pair<const char *, bool>> items)
{
    Commands::instance().set(items);
}

void MonitorWindow::setSaveEnabled(bool on)
{
    Commands::instance().set(
        {{"mnuFileSave", on}, {"mnuFileSaveAs", on}, {"tb2", on}, {"tb3", on}});
}

void MonitorWindow::markNotDownloaded(QLabel *label, bool on)
{
    if (!label || label->font().italic() == on)
        return;
    QFont f = label->font();
    f.setItalic(on);
    label->setFont(f);
    label->setToolTip(on ? Tr("not downloaded") : QString());
}

QString MonitorWindow::indexed(const char *array, int i)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(i);
}

QString MonitorWindow::channelCaption(int ch)
{
    return ch < 10 ? QStringLiteral(" %1").arg(ch) : QString::number(ch);
}

QLabel *MonitorWindow::header(const QString &name, const QString &text, const QString &tag)
{
    auto *l = new QLabel(text, this);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignCenter);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    if (!tag.isEmpty())
        setTag(l, tag);
    return l;
}

QLabel *MonitorWindow::caption(const QString &name, const QString &text, const QString &tag)
{
    auto *l = new QLabel(text, this);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (!tag.isEmpty())
        setTag(l, tag);
    return l;
}

QLabel *MonitorWindow::readout(const QString &name, Qt::Alignment align, int width)
{
    auto *l = new QLabel(this);
    l->setObjectName(name);
    // Module and file texts must never be taken as markup.
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(align | Qt::AlignVCenter);
    l->setFrameShape(QFrame::StyledPanel);
    l->setFrameShadow(QFrame::Sunken);
    l->setBackgroundRole(QPalette::Base);
    l->setAutoFillBackground(true);
    l->setMargin(0);
    l->setIndent(4);
    l->setFixedHeight(kRowHeight);
    if (width > 0)
        l->setFixedWidth(width);
    return l;
}

QPushButton *MonitorWindow::rowButton(const QString &name, const QString &text, int width)
{
    auto *b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::TabFocus);
    b->setFixedSize(width, kRowHeight);
    return b;
}

QFrame *MonitorWindow::lamp(const QString &name)
{
    auto *f = new QFrame(this);
    f->setObjectName(name);
    f->setFrameShape(QFrame::Panel);
    f->setFrameShadow(QFrame::Sunken);
    f->setLineWidth(1);
    f->setFixedSize(34, kRowHeight - 6);
    setBackColor(f, ActiveBorderColor());
    return f;
}

QFrame *MonitorWindow::separator(const QString &name)
{
    auto *f = new QFrame(this);
    f->setObjectName(name);
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

QFrame *MonitorWindow::tableFrame()
{
    auto *f = new QFrame(this);
    f->setObjectName("Frame1");
    f->setFrameShape(QFrame::StyledPanel);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

QLabel *MonitorWindow::heading(const QString &name, const QString &tag)
{
    auto *l = new QLabel(this);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    QFont f = l->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    l->setFont(f);
    setTag(l, tag);
    return l;
}
