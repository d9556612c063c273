#pragma once

#include <QString>

// Texts looked up by their numeric string id. The English text is the source;
// other languages come from the translation files (context "StringTable").
QString loadString(int id);

// Command prompt texts are "status-bar prompt\ntool tip".
QString commandPrompt(int commandId);
QString commandToolTip(int commandId);

// Well-known string ids.
namespace StringId {
enum : int {
    DocumentTemplate = 128,
    SendFileTitle = 129,
    OpenPortFailed = 130,
    StartPortFailed = 131,
    CharMapCodeColumn = 132,
    CharMapTextColumn = 133,
    GatewayAddressColumn = 134,
    GatewayReceiveColumn = 135,
    GatewayFormatColumn = 136,
    ReceiveFileTitle = 137,
    FileBadCrc = 138,
    FileReceivedOk = 139,
    PaneDate = 102,
    PaneTime = 103,
    PanePort = 104,
    SaveSettingsTitle = 1003,
    LoadSettingsTitle = 1004,
    SettingsLoaded = 1005,
    SaveGatewayAddressesTitle = 1006,
    LoadGatewayAddressesTitle = 1007,
    ImportGatewayAddressesTitle = 1008,
    RemoveAllAddressesQuestion = 1009,
    WaitingForUdp = 1010,
    Ready = 57345,
};
}
