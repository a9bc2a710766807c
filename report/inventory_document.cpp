#include "report/inventory_document.h"

namespace tambrel::report {

std::string_view listName(ListKind list) {
    return list == ListKind::Greetings ? "greetings" : "prompts";
}

std::optional<ListKind> listFromName(std::string_view name) {
    if (name == "greetings")
        return ListKind::Greetings;
    if (name == "prompts")
        return ListKind::Prompts;
    return std::nullopt;
}

} // namespace tambrel::report
