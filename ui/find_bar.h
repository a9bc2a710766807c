// The find field of a grid: a strip above the grid with the field, how many rows are shown of
// how many, and a close button. Typing filters the grid at once; Escape or the button closes it.
// The strip is placed by the window, which gives the grid up as much height as the strip takes.
#pragma once

#include <cstdint>
#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

namespace tambrel {

class FindBar final : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);

    // Shows the strip (if hidden) and gives its field the focus, the text selected.
    void open();
    // Hides the strip; its field leaves the window's focus chain until opened again.
    void dismiss();
    QString text() const;
    void setText(const QString& text);
    // "1,234 of 100,000" in the system's number format.
    void showCount(std::int64_t shown, std::int64_t all);
    // Captions and the count's wording in the current language.
    void localize();
    QLineEdit& field() { return *field_; }
    const QLabel& count() const { return *count_; }

signals:
    void textEdited(const QString& text);
    // Escape or the close button: the window hides the strip and shows every row again.
    void closeRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* caption_;
    QLineEdit* field_;
    QLabel* count_;
    QToolButton* close_;
    std::int64_t shown_ = 0;
    std::int64_t all_ = 0;
};

} // namespace tambrel
