#pragma once
// What the main window shows beside its commands, held below the windows:
// the identity rows of the module (row 0 the model suffix, rows 1..6
// caption and value), the progress of a long exchange and the name of the
// configuration file in use. Workflows and
// monitor windows write here; the main window shows it.

#include <QObject>
#include <QString>

#include <array>

class MainPanel : public QObject {
    Q_OBJECT
public:
    static MainPanel &instance();

    static constexpr int kRows = 7;

    QString title(int row) const { return title_.at(row); }
    QString data(int row) const { return data_.at(row); }
    void setRow(int row, const QString &title, const QString &data);
    void setData(int row, const QString &data);
    // Rows 1..6 emptied (after disconnecting).
    void clearRows();

    void showProgress(const QString &what, int done, int total);
    void hideProgress();

    // The configuration file in use ("" when none); the title shows its name.
    QString fileName() const { return fileName_; }
    void setFileName(const QString &path);

    void reset();

signals:
    void rowChanged(int row);
    void progressChanged(const QString &what, int done, int total);
    void progressHidden();
    void fileNameChanged(const QString &path);

public:
    // ---- where things stand, shown in the status bar
    enum class LinkState { NotConnected, Connected, Monitoring, Paused };
    // The port of the link that is up ("" when none).
    QString port() const { return port_; }
    void setPort(const QString &port);
    LinkState linkState() const { return linkState_; }
    void setLinkState(LinkState state);
    // The result of the last transfer or save ("Upload done, 16 channels").
    QString lastResult() const { return lastResult_; }
    void setLastResult(const QString &text);
    // Where the configuration in hand came from ("read from the module",
    // "file plant.qv8", "QV8_L5 defaults"); "" before there is one.
    QString configSource() const { return configSource_; }
    void setConfigSource(const QString &text);

    // The configuration differs from what the module last confirmed
    // (edited, not downloaded); the title shows "*".
    bool edited() const { return edited_; }
    // Compares them again, after the settings or what the module holds
    // changed; the monitor windows mark what differs.
    void settingsChanged();
    // The module on the line holds the whole configuration now (connect,
    // upload), or none of it is the module's (disconnect, a file, a model).
    void moduleHoldsAll();
    void moduleHoldsNone();

signals:
    void statusChanged();
    void editsChanged();

private:
    MainPanel() = default;
    QString port_;
    LinkState linkState_ = LinkState::NotConnected;
    QString lastResult_;
    QString configSource_;
    bool edited_ = false;
    std::array<QString, kRows> title_{};
    std::array<QString, kRows> data_{};
    QString fileName_;
};
