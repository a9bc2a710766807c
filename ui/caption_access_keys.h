// Captions of menus, menu items and buttons put in with access keys chosen for the language in
// force: the texts come from the string table unmarked, and each group of controls that share
// one keyboard gets keys that do not clash.
#pragma once

#include <cstdint>
#include <initializer_list>

class QAbstractButton;
class QObject;
class QString;

namespace tambrel {

// A menu (its title), a menu item (QAction) or a button, and the ID of its caption's text.
struct CaptionedControl {
    QObject* control;
    std::int32_t textID;
};

// Sets each control's caption to its text in the current language with an access key marked.
// A button too narrow for its caption with the key appended keeps its caption whole, without
// a key: a cut caption would cost more than the key saves.
void setCaptionsWithAccessKeys(std::initializer_list<CaptionedControl> group);

// Whether `caption` (marked or not) shows whole on the button in its font.
bool captionFits(const QAbstractButton& button, const QString& caption);

} // namespace tambrel
