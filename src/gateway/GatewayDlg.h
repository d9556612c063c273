#pragma once

#include "gateway/GatewaySettings.h"

#include <QDialog>

#include <array>
#include <memory>

class CGatewayLink;
class CGatewayUpload;
class CGroupAddressModel;
class QCheckBox;
class QItemSelection;
class QLineEdit;

namespace Ui {
class CGatewayDlg;
}

// The media gateway configuration: eleven options, the gateway's physical
// address and its group address table, sent as the gateway's commands over
// the terminal's link. Everything it shows comes from the INI file when it
// opens and goes back there whenever it closes, however it is closed.
class CGatewayDlg final : public QDialog
{
    Q_OBJECT
public:
    CGatewayDlg(CGatewayLink &link, CGatewayUpload &upload, const QString &iniPath,
                const QString &programDir, QWidget *parent = nullptr);
    ~CGatewayDlg() override;

    // Saves, then closes; when the INI file cannot be written the user may
    // stay in the dialog (to save the table to a file, say).
    void done(int result) override;

    CGroupAddressModel *model() const { return m_model; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

public:
    void OnSendOptions();
    void OnSendPhysicalAddress();
    void OnSendGroupAddresses();
    void OnAddGroupAddress();
    void OnRemoveGroupAddress();
    void OnRemoveAllGroupAddresses();
    void OnSaveAddressFile();
    void OnLoadAddressFile();
    void OnImportGaFile();

private:
    void LoadGatewaySettings();
    bool SaveGatewaySettings();
    void OnGroupAddressItemChanged();
    void updateSendButtons();
    void selectRow(int row);
    // Replaces the table by what a file held; none when it held nothing.
    void replaceTable(std::vector<GroupAddressEntry> entries);
    void showFileProblem(const QString &text, const QString &title);
    static int fieldValue(const QLineEdit *edit);

    std::unique_ptr<Ui::CGatewayDlg> m_ui;
    CGatewayLink &m_link;
    CGatewayUpload &m_upload;
    QString m_iniPath;
    QString m_programDir;
    CGroupAddressModel *m_model;
    std::array<QCheckBox *, gateway::kOptionCount> m_options{};
    bool m_bRunningAtOpen = false;
};
