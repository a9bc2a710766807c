#include "ui/keyboard_focus.h"

#include <QWidget>

namespace tambrel {

void showKeyboardFocus(QWidget& window) {
    window.setAttribute(Qt::WA_KeyboardFocusChange);
}

} // namespace tambrel
