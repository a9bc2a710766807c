#include "ui/form_registry.h"

#include <algorithm>
#include <QPointer>

namespace tambrel {
namespace {

std::vector<QPointer<QWidget>>& forms() {
    static std::vector<QPointer<QWidget>> registered;
    return registered;
}

void dropDestroyed() {
    auto& all = forms();
    all.erase(std::remove_if(all.begin(), all.end(), [](const auto& form) { return !form; }),
              all.end());
}

} // namespace

void registerForm(QWidget* form) {
    dropDestroyed();
    if (!form)
        return;
    auto& all = forms();
    if (std::find(all.begin(), all.end(), form) == all.end())
        all.emplace_back(form);
}

void unregisterForm(QWidget* form) {
    dropDestroyed();
    auto& all = forms();
    all.erase(std::remove(all.begin(), all.end(), form), all.end());
}

std::vector<QWidget*> loadedForms() {
    dropDestroyed();
    std::vector<QWidget*> result;
    for (const auto& form : forms())
        result.push_back(form.data());
    return result;
}

} // namespace tambrel
