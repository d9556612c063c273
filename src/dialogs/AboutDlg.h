#pragma once

#include <QDialog>

// The about box: program icon, name and version, OK.
class CAboutDlg final : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);
};
