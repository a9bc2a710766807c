#include "ui/keyboard_focus.h"

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <QWidget>

namespace tambrel {
namespace {

// Qt drops the window's mark of a keyboard focus change when the window is shown and
// activated: the mark is set again after each of those.
class FocusMarker final : public QObject {
public:
    explicit FocusMarker(QWidget& window) : QObject(&window), window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ &&
            (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate ||
             event->type() == QEvent::ActivationChange)) {
            window_.setAttribute(Qt::WA_KeyboardFocusChange);
            if (QWidget* focused = window_.focusWidget())
                focused->update();
        }
        return false;
    }

private:
    QWidget& window_;
};

class VisibleFocusStyle final : public QProxyStyle {
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (!(option->state & State_HasFocus) || !(option->state & State_KeyboardFocusChange))
            return;
        painter->save();
        if (element == CE_PushButton) {
            painter->setPen(QPen(option->palette.color(QPalette::ButtonText), 1, Qt::DotLine));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option->rect.adjusted(4, 4, -5, -5));
        } else if (element == CE_ShapedFrame) {
            painter->setPen(QPen(option->palette.color(QPalette::Highlight), 1));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
            painter->drawRect(option->rect.adjusted(1, 1, -2, -2));
        }
        painter->restore();
    }
};

} // namespace

void showKeyboardFocus(QWidget& window) {
    window.setAttribute(Qt::WA_KeyboardFocusChange);
    window.installEventFilter(new FocusMarker(window));
}

void installVisibleKeyboardFocus() {
    QApplication::setStyle(new VisibleFocusStyle);
    // A frame is painted by its own widget, which does not repaint when the focus comes or goes.
    QObject::connect(qApp, &QApplication::focusChanged, qApp, [](QWidget* old, QWidget* now) {
        if (old)
            old->update();
        if (now)
            now->update();
    });
}

} // namespace tambrel
