#include "PrinterFileNameDlg.h"

#include "ui_PrinterFileNameDlg.h"

#include "platform/UiServices.h"

CPrinterFileNameDlg::CPrinterFileNameDlg(const QString &fileName, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::CPrinterFileNameDlg>())
    , m_fileName(fileName)
{
    m_ui->setupUi(this);
    m_ui->fileName->setText(fileName);
    connect(m_ui->okButton, &QPushButton::clicked, this, &CPrinterFileNameDlg::accept);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CPrinterFileNameDlg::reject);
}

CPrinterFileNameDlg::~CPrinterFileNameDlg() = default;

void CPrinterFileNameDlg::accept()
{
    const QString name = m_ui->fileName->text();
    if (name.isEmpty()) {
        uiServices().beep();
        return;
    }
    m_fileName = name;
    QDialog::accept();
}
