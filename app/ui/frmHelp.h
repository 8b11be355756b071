#pragma once
// The user manual in a window of its own: the HTML of docs/manual, built
// into the program, in English or Japanese. It opens at a section when a
// window asks for its own (F1), and it can go behind the main window.

#include "app/Init.h"

#include <QWidget>

class QObject;
class QPushButton;
class QTextBrowser;

class frmHelp : public QWidget {
    Q_OBJECT
public:
    frmHelp();

    // Opens the manual in that language at a section (an anchor of the
    // page; the contents when empty) and brings it to the front. Opened
    // from a modal window, the manual stays usable beside it.
    static void ShowManual(TextLanguage lang, const QString &section = QString());
    // The section of the manual that tells about a window, by its name.
    static QString sectionOf(const QString &windowName);
    // F1 in any window of the program opens the manual at that window's
    // section (the main window has its own F1 command).
    static void installF1(QObject *application);

    QTextBrowser *txtManual = nullptr;
    QPushButton *cmdBack = nullptr;
    QPushButton *cmdContents = nullptr;
    QPushButton *cmdIndex = nullptr;
    TextLanguage language() const { return lang_; }

private:
    void open(TextLanguage lang, const QString &section);
    TextLanguage lang_ = TextLanguage::English;
};
