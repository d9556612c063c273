// Reading the INI file into the controller, and the settings files.
#include "MainFrame.h"

#include "dialogs/PortSettingsDlg.h"
#include "frame/ConfigStore.h"
#include "platform/StringTable.h"
#include "platform/UiServices.h"

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
    const bool useKeyBar
        = ConfigStore::readSettings(m_strIniPath, m_settings, m_charMap, m_hotKeyCaptions);
    emit hotKeyCaptionsChanged();
    PrepareReceiveTriggers();
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
    if (QString reason; !ConfigStore::copySettingsFile(file, m_strIniPath, &reason)) {
        uiServices().beep();
        uiServices().messageBox(
            trSettings(QT_TRANSLATE_NOOP("SettingsFiles",
                                         "The settings file %1 could not be copied to "
                                         "%2. The settings stay as they were."))
                    .arg(file, m_strIniPath)
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
    dialog.proposedName = ConfigStore::proposedSettingsFileName(m_strIniPath);
    dialog.directory = QFileInfo(m_strIniPath).absolutePath();
    dialog.confirmOverwrite = true;
    const QString file = uiServices().saveFileName(dialog);
    if (file.isEmpty())
        return;
    if (QString reason; !ConfigStore::copySettingsFile(m_strIniPath, file, &reason)) {
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
    if (m_bRunning)
        return; // the link in use is not changed under it
    CPortSettingsDlg dialog(m_settings, m_strIniPath, this);
    if (dialog.exec() == QDialog::Accepted)
        emit stateChanged();
}
