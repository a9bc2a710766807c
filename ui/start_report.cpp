#include "ui/start_report.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <utility>
#include <vector>

namespace tambrel::startReport {
namespace {

struct Report {
    const char* path = std::getenv("TAMBREL_START_REPORT");
    std::vector<std::pair<const char*, long long>> steps;
    std::vector<std::pair<const char*, long long>> totals;
};

Report& report() {
    static Report instance;
    return instance;
}

} // namespace

long long nowNanoseconds() {
    // The steady clock is the system's monotonic one, which the benchmark reads in its own
    // process: a step's figure is comparable with the moment the program was started.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {

void writeAndQuit() {
    Report& state = report();
    if (std::FILE* file = std::fopen(state.path, "w")) {
        for (const auto& [step, nanoseconds] : state.steps)
            std::fprintf(file, "%s %lld\n", step, nanoseconds);
        for (const auto& [what, nanoseconds] : state.totals)
            std::fprintf(file, "+%s %lld\n", what, nanoseconds);
        std::fclose(file);
    }
    QCoreApplication::quit();
}

// Watches the viewports of the grids; the report is written from the event loop once the
// paint of the last one has finished, so that the figure covers the whole paint.
class PaintWatch final : public QObject {
public:
    PaintWatch(QWidget& first, QWidget& second) : QObject(&first), pending_{&first, &second} {
        for (QWidget* widget : pending_)
            watched(*widget).installEventFilter(this);
    }

    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() != QEvent::Paint)
            return false;
        for (QWidget*& widget : pending_)
            if (widget && &watched(*widget) == object)
                widget = nullptr;
        if (!pending_[0] && !pending_[1] && !finishing_) {
            finishing_ = true;
            QTimer::singleShot(0, this, [] {
                mark("painted");
                writeAndQuit();
            });
        }
        return false;
    }

private:
    static QWidget& watched(QWidget& widget) {
        if (auto* area = qobject_cast<QAbstractScrollArea*>(&widget))
            return *area->viewport();
        return widget;
    }

    QWidget* pending_[2];
    bool finishing_ = false;
};

} // namespace

bool enabled() {
    return report().path != nullptr;
}

void mark(const char* step) {
    if (enabled())
        report().steps.emplace_back(step, nowNanoseconds());
}

void addTime(const char* what, long long since) {
    if (!enabled())
        return;
    const long long spent = nowNanoseconds() - since;
    for (auto& [name, total] : report().totals)
        if (name == what) {
            total += spent;
            return;
        }
    report().totals.emplace_back(what, spent);
}

void finishAfterFirstPaint(QWidget& firstGrid, QWidget& secondGrid) {
    if (!enabled())
        return;
    new PaintWatch(firstGrid, secondGrid);
}

} // namespace tambrel::startReport
