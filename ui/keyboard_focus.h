// Keeps the keyboard focus visible. Styles draw the focus only once a window has seen a keyboard
// focus change, so a control that starts out with the focus (where Space or Enter acts on it)
// looks like any other; and some styles show no focus at all on a default button or a framed
// list. The program's style marks both.
#pragma once

class QWidget;

namespace tambrel {

// Marks the focus in `window` from the moment it is shown.
void showKeyboardFocus(QWidget& window);

// Wraps the application's style so that a push button with the focus gets a dotted rectangle
// and a framed control (grid, help text) a highlighted frame; called once at start.
void installVisibleKeyboardFocus();

} // namespace tambrel
