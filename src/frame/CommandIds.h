#pragma once

// Numeric ids of the commands and controls; string ids of their prompts match.
namespace CommandId {
enum : int {
    SendCrLf = 1, // Enter in the text input
    TextInput = 1000,
    SendFile = 1001,
    SendInputText = 1002,
    HexInput = 1003,
    SendLed = 1046,
    ReceiveLed = 1047,
    SendProgress = 1048,
    SendPercent = 1051,
    HotKeyButton0 = 1060, // to 1071

    TerminalStart = 32771,
    AutoScroll = 32772,
    TerminalStop = 32773,
    LocalEcho = 32774,
    PortSettings = 32775,
    ClearInput = 32776,
    MediaGateway = 32777,
    LoadSettings = 32778,
    SaveSettings = 32779,
    CharacterMapping = 32780,
    HotKeyF1 = 32781, // to 32792
    HotKeys = 32793,
    HexMode = 32794,
    Timestamp = 32795,
    SendFileToPrinter = 32797,
    TrayShow = 32798,
    ReceivePrinterFile = 32801,
    CancelPrinterReception = 32802,
    TrayClose = 32806,
    SendOptions = 32807,
    ViewHotKeyBar = 32824,

    FileNew = 57600,
    FileOpen = 57601,
    FileSave = 57603,
    FileSaveAs = 57604,
    FilePrintSetup = 57606,
    FilePrint = 57607,
    FilePrintPreview = 57609,
    FileMru = 57616,
    EditDelete = 57632,
    EditCopy = 57634,
    EditCut = 57635,
    EditSelectAll = 57642,
    AppAbout = 57664,
    AppExit = 57665,
    ViewToolbar = 59392,
    ViewStatusBar = 59393,
};
}
