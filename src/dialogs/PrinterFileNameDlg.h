#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class CPrinterFileNameDlg;
}

// Asks for the name of a file in the r+k printer. OK takes the name only when
// it is not empty; otherwise it beeps and the dialog stays open.
class CPrinterFileNameDlg final : public QDialog
{
    Q_OBJECT
public:
    explicit CPrinterFileNameDlg(const QString &fileName, QWidget *parent = nullptr);
    ~CPrinterFileNameDlg() override;

    QString fileName() const { return m_fileName; }

    void accept() override;

private:
    std::unique_ptr<Ui::CPrinterFileNameDlg> m_ui;
    QString m_fileName;
};
