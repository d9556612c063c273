#include "EditCommands.h"

#include "display/DisplayWidget.h"
#include "frame/CommandIds.h"
#include "input/HexEdit.h"
#include "input/InputEdit.h"

#include <QTextCursor>

namespace editcommands {

bool editsText(QWidget *focus, CInputEdit *textInput)
{
    return focus && focus->isEnabled() && (focus == textInput || qobject_cast<CHexEdit *>(focus));
}

void apply(int id, QWidget *focus, CInputEdit *textInput, CDisplayWidget *display)
{
    if (auto *hex = qobject_cast<CHexEdit *>(focus)) {
        switch (id) {
        case CommandId::EditCopy:
            hex->copy();
            break;
        case CommandId::EditCut:
            hex->cut();
            break;
        case CommandId::EditDelete:
            hex->deleteSelection();
            break;
        case CommandId::EditSelectAll:
            hex->selectAll();
            break;
        }
        return;
    }
    if (focus && focus == textInput) {
        switch (id) {
        case CommandId::EditCopy:
            textInput->copy();
            break;
        case CommandId::EditCut:
            textInput->cut();
            break;
        case CommandId::EditDelete:
            textInput->textCursor().removeSelectedText();
            break;
        case CommandId::EditSelectAll:
            textInput->selectAll();
            break;
        }
        return;
    }
    if (id == CommandId::EditCopy)
        display->copy();
    else if (id == CommandId::EditSelectAll)
        display->selectAll();
}

} // namespace editcommands
