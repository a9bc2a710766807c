// The program's loaded forms, in the order they were loaded: a form registers itself when it is
// loaded and leaves when it is unloaded (or destroyed). A form is a widget whose object name is
// the form's name, such as "frmMain", with an invokable "<name>_Auto_Init".
#pragma once

#include <QWidget>
#include <vector>

namespace tambrel {

// Registering a form twice keeps its first place.
void registerForm(QWidget* form);
void unregisterForm(QWidget* form);
std::vector<QWidget*> loadedForms();

} // namespace tambrel
