#pragma once
// Common ground of the six data windows: each lives in an MDI frame of the
// main window, is shown in the standard place, and builds its tables from
// the same few kinds of cells.

#include <QWidget>

#include <initializer_list>
#include <utility>

class QFrame;
class QLabel;
class QPushButton;

class MonitorWindow : public QWidget {
    Q_OBJECT
public:
    ~MonitorWindow() override;

protected:
    MonitorWindow();

    // Puts the window into the main window's MDI area, hidden until shown.
    void embed();
    // ShowForm, then the model suffix in row 0 of the identity panel.
    void showAsDataWindow(const QString &suffix);

    // Enables or disables main-window menu items by name.
    static void setMenus(std::initializer_list<std::pair<const char *, bool>> items);
    // mnuFileSave, mnuFileSaveAs and their toolbar buttons 2 and 3.
    static void setSaveEnabled(bool on);

    // Building blocks of the tables.
    QLabel *header(const QString &name, const QString &caption, const QString &tag = QString());
    QLabel *caption(const QString &name, const QString &text, const QString &tag = QString());
    QLabel *readout(const QString &name, Qt::Alignment align, int width);
    QPushButton *rowButton(const QString &name, const QString &text, int width);
    QFrame *lamp(const QString &name);
    QFrame *separator(const QString &name);
    // The sunken frame "Frame1" that holds a window's table.
    QFrame *tableFrame();
    QLabel *heading(const QString &name, const QString &tag);

    // A setting the module does not hold as shown: italic, with a tooltip.
    static void markNotDownloaded(QLabel *label, bool on);

    static QString indexed(const char *array, int i);
    // Channel button caption: one-digit numbers get a leading space.
    static QString channelCaption(int ch);

    static constexpr int kRowHeight = 20;
};
