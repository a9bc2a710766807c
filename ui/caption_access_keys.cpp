#include "ui/caption_access_keys.h"

#include "localize/access_keys.h"
#include "localize/language_state.h"
#include "localize/string_table.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QString>
#include <QStyle>
#include <string>
#include <vector>

namespace tambrel {

void setCaptionsWithAccessKeys(std::initializer_list<CaptionedControl> group) {
    std::vector<std::string> captions;
    std::vector<AccessKeyRequest> requests;
    captions.reserve(group.size());
    requests.reserve(group.size());
    for (const CaptionedControl& item : group)
        captions.push_back(mymyLoadString(item.textID));
    std::size_t index = 0;
    for (const CaptionedControl& item : group) {
        const std::string_view hint = builtInString(item.textID).value_or(std::string_view());
        requests.push_back({captions[index++], hint});
    }
    const std::vector<std::string> marked =
        withAccessKeys(requests, accessKeyStyleFor(CurrentLanguageID));
    index = 0;
    for (const CaptionedControl& item : group) {
        const QString text = QString::fromStdString(marked[index]);
        const QString plain = QString::fromStdString(withoutAccessKeyMarker(marked[index++]))
                                  .replace(QStringLiteral("&"), QStringLiteral("&&"));
        if (auto* menu = qobject_cast<QMenu*>(item.control))
            menu->setTitle(text);
        else if (auto* action = qobject_cast<QAction*>(item.control))
            action->setText(text);
        else if (auto* button = qobject_cast<QAbstractButton*>(item.control))
            button->setText(captionFits(*button, text) || !captionFits(*button, plain) ? text
                                                                                       : plain);
    }
}

bool captionFits(const QAbstractButton& button, const QString& caption) {
    QString shown = caption;
    // As drawn: a marker is no character of its own, and a doubled one shows once.
    shown.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(u'&').replace(u'\x01', u'&');
    const int margin = button.style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button);
    return button.fontMetrics().horizontalAdvance(shown) + margin <= button.width();
}

} // namespace tambrel
