#include "ui/find_bar.h"

#include "localize/own_texts.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QStyle>
#include <QToolButton>

namespace tambrel {
namespace {

QString ownText(std::int32_t id, std::initializer_list<std::string_view> arguments = {}) {
    return QString::fromStdString(texts::text(id, arguments));
}

} // namespace

FindBar::FindBar(QWidget* parent)
    : QWidget(parent), caption_(new QLabel(this)), field_(new QLineEdit(this)),
      count_(new QLabel(this)), close_(new QToolButton(this)) {
    setObjectName(QStringLiteral("findBar"));
    field_->setObjectName(QStringLiteral("findField"));
    count_->setObjectName(QStringLiteral("findCount"));
    close_->setObjectName(QStringLiteral("findClose"));
    caption_->setBuddy(field_);
    field_->setClearButtonEnabled(false);
    field_->installEventFilter(this);
    field_->setFocusPolicy(Qt::NoFocus);
    // Escape closes the strip, so the button is for the mouse alone and keeps out of Tab's way.
    close_->setFocusPolicy(Qt::NoFocus);
    close_->setAutoRaise(true);
    close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 2);
    layout->setSpacing(6);
    layout->addWidget(caption_);
    layout->addWidget(field_, 1);
    layout->addWidget(count_);
    layout->addWidget(close_);

    connect(field_, &QLineEdit::textChanged, this, &FindBar::textEdited);
    connect(close_, &QToolButton::clicked, this, &FindBar::closeRequested);
    hide();
}

void FindBar::open() {
    field_->setFocusPolicy(Qt::StrongFocus);
    show();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

void FindBar::dismiss() {
    hide();
    field_->setFocusPolicy(Qt::NoFocus);
}

QString FindBar::text() const {
    return field_->text();
}

void FindBar::setText(const QString& text) {
    field_->setText(text);
}

void FindBar::showCount(std::int64_t shown, std::int64_t all) {
    shown_ = shown;
    all_ = all;
    const QLocale locale = QLocale::system();
    count_->setText(
        ownText(texts::kShownOfAll, {locale.toString(static_cast<qlonglong>(shown)).toStdString(),
                                     locale.toString(static_cast<qlonglong>(all)).toStdString()}));
}

void FindBar::localize() {
    caption_->setText(ownText(texts::kFindLabel));
    field_->setPlaceholderText(ownText(texts::kFindPlaceholder));
    close_->setToolTip(ownText(texts::kCloseFind));
    close_->setAccessibleName(ownText(texts::kCloseFind));
    showCount(shown_, all_);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        emit closeRequested();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tambrel
