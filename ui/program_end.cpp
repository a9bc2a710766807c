#include "ui/program_end.h"

#include <cstdio>
#include <cstdlib>
#include <QApplication>
#include <QWidget>

namespace tambrel {
namespace {

std::function<void(int)> processEnd;

} // namespace

void endProgram(int status) {
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    // The requests to unmap the windows leave with the next pass of the event dispatcher.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    std::fflush(nullptr);
    if (processEnd) {
        processEnd(status);
        return;
    }
    // The exit handlers would tear down Qt's globals under a live application object and keep
    // the process waiting on its helper threads; nothing of ours is left to flush.
    std::_Exit(status);
}

void setProcessEnd(std::function<void(int)> end) {
    processEnd = std::move(end);
}

} // namespace tambrel
