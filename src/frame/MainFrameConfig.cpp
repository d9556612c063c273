// The settings: the INI file read into the terminal, the settings files, and
// the dialogs of the port, of the send options and of the media gateway.
#include "MainFrame.h"

#include "dialogs/PortSettingsDlg.h"
#include "dialogs/SendOptionsDlg.h"
#include "gateway/GatewayDlg.h"
#include "gateway/GatewaySession.h"
#include "platform/StringTable.h"
#include "platform/UiServices.h"
#include "settings/ConfigStore.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
// Messages of the settings files, in a context of their own.
QString trSettings(const char *text)
{
    return QCoreApplication::translate("SettingsFiles", text);
}
} // namespace

bool CMainFrame::LoadSettings()
{
    const bool useKeyBar = m_pTerminal->LoadSettings();
    emit stateChanged();
    return useKeyBar;
}

void CMainFrame::OnLoadSettings()
{
    UiServices::FileDialog dialog;
    dialog.title = loadString(StringId::LoadSettingsTitle);
    dialog.filter = trSettings(QT_TRANSLATE_NOOP(
        "SettingsFiles", "Terminal settings files (*.SPT)|*.SPT|All Files (*.*)|*.*||"));
    dialog.defaultSuffix = QStringLiteral("SPT");
    dialog.directory = m_strProgramDir;
    const QString file = uiServices().openFileName(dialog);
    if (file.isEmpty())
        return;
    // A copy that failed must not be reported as loaded.
    if (QString reason; !ConfigStore::copySettingsFile(file, iniPath(), &reason)) {
        uiServices().beep();
        uiServices().messageBox(
            trSettings(QT_TRANSLATE_NOOP("SettingsFiles",
                                         "The settings file %1 could not be copied to "
                                         "%2. The settings stay as they were."))
                    .arg(file, iniPath())
                + u'\n' + reason,
            dialog.title, UiServices::Icon::Stop);
        return;
    }
    LoadSettings();
    uiServices().messageBox(loadString(StringId::SettingsLoaded), dialog.title,
                            UiServices::Icon::Information);
}

void CMainFrame::OnSaveSettings()
{
    UiServices::FileDialog dialog;
    dialog.title = loadString(StringId::SaveSettingsTitle);
    dialog.filter = trSettings(QT_TRANSLATE_NOOP(
        "SettingsFiles", "Terminal setting file (*.SPT)|*.SPT|All Files (*.*)|*.*||"));
    dialog.defaultSuffix = QStringLiteral("SPT");
    dialog.proposedName = ConfigStore::proposedSettingsFileName(iniPath());
    dialog.directory = QFileInfo(iniPath()).absolutePath();
    dialog.confirmOverwrite = true;
    const QString file = uiServices().saveFileName(dialog);
    if (file.isEmpty())
        return;
    if (QString reason; !ConfigStore::copySettingsFile(iniPath(), file, &reason)) {
        uiServices().beep();
        uiServices().messageBox(
            trSettings(QT_TRANSLATE_NOOP("SettingsFiles", "The settings could not be saved to %1."))
                    .arg(file)
                + u'\n' + reason,
            dialog.title, UiServices::Icon::Stop);
    }
}

void CMainFrame::OnPortSettings()
{
    if (isRunning())
        return; // the link in use is not changed under it
    CPortSettingsDlg dialog(settings(), iniPath(), this);
    if (dialog.exec() == QDialog::Accepted)
        emit stateChanged();
}

void CMainFrame::OnSendOptions()
{
    CSendOptionsDlg dialog(settings().send, iniPath(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_pTerminal->sendSettingsChanged();
}

void CMainFrame::OnMediaGateway()
{
    CGatewaySession &session = CGatewaySession::of(*m_pTerminal);
    CGatewayDlg dialog(session, session.upload(), iniPath(), programDir(), this);
    dialog.exec();
}
