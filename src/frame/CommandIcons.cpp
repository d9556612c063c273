#include "CommandIcons.h"

#include "dialogs/ProgramIcons.h"
#include "frame/CommandIds.h"

namespace {
struct IconEntry
{
    int id;
    const char *themeName; // empty: the program's drawing only
    const char *resource;
};

// Commands without a standard theme name keep their own drawing, so that the
// look does not change from one desktop to another for them.
const IconEntry kIcons[] = {
    {CommandId::FileNew, "document-new", "file-new.svg"},
    {CommandId::FileOpen, "document-open", "file-open.svg"},
    {CommandId::FileSave, "document-save", "file-save.svg"},
    {CommandId::PortSettings, "", "port-settings.svg"},
    {CommandId::TerminalStart, "media-playback-start", "terminal-start.svg"},
    {CommandId::TerminalStop, "media-playback-stop", "terminal-stop.svg"},
    {CommandId::SendInputText, "", "send-text.svg"},
    {CommandId::SendFile, "", "send-file.svg"},
    {CommandId::EditCopy, "edit-copy", "edit-copy.svg"},
    {CommandId::FilePrint, "document-print", "file-print.svg"},
    {CommandId::ClearInput, "", "clear-input.svg"},
    {CommandId::AutoScroll, "", "auto-scroll.svg"},
    {CommandId::LocalEcho, "", "local-echo.svg"},
    {CommandId::HexMode, "", "hex-mode.svg"},
    {CommandId::AppAbout, "help-about", "help-about.svg"},
    // Edit commands that the toolbar lacks: the theme's icon when there is one.
    {CommandId::EditCut, "edit-cut", ""},
    {CommandId::EditDelete, "edit-delete", ""},
    {CommandId::EditSelectAll, "edit-select-all", ""},
};
} // namespace

QIcon commandIcon(int commandId)
{
    for (const IconEntry &e : kIcons) {
        if (e.id != commandId)
            continue;
        const QIcon own = *e.resource ? bundledIcon(QLatin1String(e.resource)) : QIcon();
        if (!*e.themeName)
            return own;
        return QIcon::fromTheme(QLatin1String(e.themeName), own);
    }
    return {};
}
