// Keeps the keyboard focus visible in a window from the moment it opens. Styles draw the focus
// only once a window has seen a keyboard focus change, so a control that starts out with the
// focus (where Space or Enter would act on it) would otherwise look like any other.
#pragma once

class QWidget;

namespace tambrel {

void showKeyboardFocus(QWidget& window);

} // namespace tambrel
