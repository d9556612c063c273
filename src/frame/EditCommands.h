#pragma once

class CDisplayWidget;
class CInputEdit;
class QWidget;

// Copy, Cut, Delete and Select all act where the user is: in the text input,
// the hex input or the display.
namespace editcommands {

// Whether `focus` is an input whose text Cut and Delete may change; the
// display is read-only.
bool editsText(QWidget *focus, CInputEdit *textInput);
// Carries out the edit command `id` in the widget that has the focus, the
// display when it is neither input.
void apply(int id, QWidget *focus, CInputEdit *textInput, CDisplayWidget *display);

} // namespace editcommands
