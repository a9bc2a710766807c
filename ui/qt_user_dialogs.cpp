#include "ui/qt_user_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace tambrel {
namespace {

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

MessageAnswer QtUserDialogs::showMessage(std::string_view text, std::string_view title,
                                         MessageButtons buttons) {
    const QMessageBox::StandardButtons choice = buttons == MessageButtons::YesNo
                                                    ? QMessageBox::Yes | QMessageBox::No
                                                    : QMessageBox::StandardButtons(QMessageBox::Ok);
    QMessageBox box(QMessageBox::NoIcon, qtText(title), qtText(text), choice,
                    QApplication::activeWindow());
    // A message shown during a scan must be readable although the hourglass may be up.
    const bool hourglass = QApplication::overrideCursor() != nullptr;
    if (hourglass)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    if (hourglass)
        QApplication::restoreOverrideCursor();
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

std::optional<std::string> QtUserDialogs::askSaveFileName(const SaveDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow(), qtText(request.title),
                       qtText(request.initialFolder), qtText(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.proposedPath.empty()) {
        const QFileInfo proposed(qtText(request.proposedPath));
        if (request.initialFolder.empty() && proposed.isAbsolute())
            dialog.setDirectory(proposed.absolutePath());
        dialog.selectFile(proposed.isAbsolute() ? proposed.absoluteFilePath()
                                                : proposed.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

void QtUserDialogs::setMousePointer(MousePointer pointer) {
    if (pointer == MousePointer::Hourglass) {
        if (!hourglassShown_)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        hourglassShown_ = true;
        return;
    }
    if (hourglassShown_)
        QApplication::restoreOverrideCursor();
    hourglassShown_ = false;
}

void installQtUserDialogs() {
    static QtUserDialogs dialogs;
    installUserDialogs(&dialogs);
}

} // namespace tambrel
