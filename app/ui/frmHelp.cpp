#include "app/ui/frmHelp.h"

#include "app/ui/Forms.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

static void loadManualResource()
{
    Q_INIT_RESOURCE(docs);
}

namespace {

QUrl pageOf(TextLanguage lang, const QString &section)
{
    QUrl url(lang == TextLanguage::Japanese ? "qrc:/doc/manual/ja.html"
                                            : "qrc:/doc/manual/en.html");
    if (!section.isEmpty())
        url.setFragment(section);
    return url;
}

// F1 anywhere but the main window, which has it as a menu command.
class HelpKey : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        const bool override = e->type() == QEvent::ShortcutOverride;
        if ((!override && e->type() != QEvent::KeyPress) ||
            static_cast<QKeyEvent *>(e)->key() != Qt::Key_F1)
            return QObject::eventFilter(o, e);
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || w->window() == MainWindowWidget())
            return QObject::eventFilter(o, e);
        // the key is this window's, not the main window's F1 command
        e->accept();
        if (!override)
            frmHelp::ShowManual(textLanguage(), frmHelp::sectionOf(w->window()->objectName()));
        return true;
    }
};

}  // namespace

void frmHelp::installF1(QObject *application)
{
    application->installEventFilter(new HelpKey(application));
}

QString frmHelp::sectionOf(const QString &windowName)
{
    // Windows one section tells about together.
    if (windowName == "frmModSetKx7")
        return "frmModSet";
    if (windowName == "frmSetZeroSpan")
        return "frmZeroSpan";
    if (windowName == "frmHelp" || windowName == "frmMain")
        return QString();
    return windowName;
}

void frmHelp::ShowManual(TextLanguage lang, const QString &section)
{
    frmHelp *w = form<frmHelp>();
    // A modal window blocks every window but its own: the manual becomes
    // one of them until it closes.
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal != w && w->parentWidget() != modal) {
        w->setParent(modal, Qt::Window);
        if (auto *d = qobject_cast<QDialog *>(modal))
            connect(d, &QDialog::finished, w, [w] {
                const bool shown = w->isVisible();
                w->setParent(nullptr, Qt::Window);
                if (shown)
                    w->show();
            });
    } else if (!modal && w->parentWidget()) {
        w->setParent(nullptr, Qt::Window);
    }
    w->open(lang, section);
    ShowBesideMain(w);
}

frmHelp::frmHelp() : QWidget(nullptr, Qt::Window)
{
    loadManualResource();
    setObjectName("frmHelp");
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(760, 640);

    txtManual = new QTextBrowser;
    txtManual->setObjectName("txtManual");
    txtManual->setOpenExternalLinks(true);
    cmdBack = new QPushButton(Tr("Back"));
    cmdBack->setObjectName("cmdBack");
    cmdBack->setEnabled(false);
    cmdContents = new QPushButton(Tr("Contents"));
    cmdContents->setObjectName("cmdContents");
    cmdIndex = new QPushButton(Tr("Index"));
    cmdIndex->setObjectName("cmdIndex");
    connect(cmdBack, &QPushButton::clicked, txtManual, &QTextBrowser::backward);
    connect(txtManual, &QTextBrowser::backwardAvailable, cmdBack, &QWidget::setEnabled);
    connect(cmdContents, &QPushButton::clicked, this, [this] { open(lang_, "contents"); });
    connect(cmdIndex, &QPushButton::clicked, this, [this] { open(lang_, "index"); });
    // a link to the other language's page: Contents and Index follow it there
    connect(txtManual, &QTextBrowser::sourceChanged, this, [this](const QUrl &url) {
        lang_ = url.fileName() == "ja.html" ? TextLanguage::Japanese : TextLanguage::English;
        setWindowTitle(txtManual->documentTitle());
    });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdContents);
    buttons->addWidget(cmdIndex);
    buttons->addStretch(1);
    auto *v = new QVBoxLayout(this);
    v->addLayout(buttons);
    v->addWidget(txtManual, 1);
}

void frmHelp::open(TextLanguage lang, const QString &section)
{
    lang_ = lang;
    const QUrl url = pageOf(lang, section);
    // the same page only scrolls, so Back returns within it
    txtManual->setSource(url);
    if (!section.isEmpty())
        txtManual->scrollToAnchor(section);
}
