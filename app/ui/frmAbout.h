#pragma once
// The About box.

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

    QLabel *picIcon = nullptr;
    std::array<QLabel *, 4> lblTitle{};  // 1 "Version", 2 "Orvane", 3 "KAVIX"
    std::array<QLabel *, 2> lblName{};   // 1: the version number
    QPushButton *cmdOK = nullptr;
};
