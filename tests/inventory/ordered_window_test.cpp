// The ordered window on its own, with work that costs nothing: items finish far faster than any
// file could, and out of order, so the hand-overs between producer, workers and taker meet in
// every interleaving a real scan meets only now and then. A lost wake-up hangs the run, which
// the watchdog turns into a failure.
#include "inventory/ordered_window.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace tambrel {
namespace {

struct Item {
    std::uint64_t index = 0;
    bool worked = false;
};

using Window = OrderedWindow<Item>;

// Finishes what it holds last-started first, so an item finishes before those put ahead of it.
class ReversingQueue final : public Window::Queue {
public:
    explicit ReversingQueue(std::size_t depth) : depth_(depth) {}
    std::size_t capacity() const override { return depth_; }
    void start(Item& item, std::uint64_t ticket) override { started_.push_back({&item, ticket}); }
    void advance(const std::function<void(std::uint64_t)>& finished) override {
        while (!started_.empty()) {
            const Started last = started_.back();
            started_.pop_back();
            last.item->worked = true;
            finished(last.ticket);
        }
    }

private:
    struct Started {
        Item* item;
        std::uint64_t ticket;
    };
    std::size_t depth_;
    std::vector<Started> started_;
};

// Ends the process when the run outlives its time: a hung window would otherwise hang ctest.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit)
        : thread_([this, limit] {
              std::unique_lock lock(mutex_);
              if (!ended_.wait_for(lock, limit, [this] { return done_; })) {
                  std::fprintf(stderr, "the ordered window hung\n");
                  std::_Exit(1);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        ended_.notify_one();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread thread_;
};

struct WindowCase {
    const char* name;
    OverlapMode mode;
    std::size_t window;
    unsigned threads;
    // A window of one wakes a thread for every item: fewer keep the run short.
    std::uint64_t items = 200'000;
};

class OrderedWindowRun : public ::testing::TestWithParam<WindowCase> {};

TEST_P(OrderedWindowRun, TakesEveryItemOnceInOrderWithItsWorkDone) {
    const WindowCase& run = GetParam();
    const std::uint64_t items = run.items;
    OverlapOptions options;
    options.mode = run.mode;
    options.window = run.window;
    options.workers = run.threads;
    options.queueThreads = run.threads;

    std::uint64_t next = 0;
    std::uint64_t outOfOrder = 0, unworked = 0;
    const Watchdog watchdog(std::chrono::seconds(60));
    Window::run(
        options,
        [&](Window::Producer& producer) {
            for (std::uint64_t i = 0; i < items; ++i) {
                // Every seventh needs no work, as the scan's messages and steps need none.
                if (!producer.put(Item{i, false}, i % 7 != 0))
                    return;
                if (i % 1000 == 0)
                    producer.flush();
            }
        },
        [](Item& item) { item.worked = true; },
        [&](Item& item, bool worked) {
            outOfOrder += item.index != next++ ? 1 : 0;
            const bool needsWork = item.index % 7 != 0;
            unworked += needsWork && worked && !item.worked ? 1 : 0;
        },
        {}, [](std::size_t depth) { return std::make_unique<ReversingQueue>(depth); });

    EXPECT_EQ(next, items);
    EXPECT_EQ(outOfOrder, 0u);
    EXPECT_EQ(unworked, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, OrderedWindowRun,
    ::testing::Values(WindowCase{"PoolWindowOfOne", OverlapMode::ThreadPool, 1, 2, 10'000},
                      WindowCase{"PoolWindowOfFortyOne", OverlapMode::ThreadPool, 41, 3},
                      WindowCase{"PoolWindowOfMany", OverlapMode::ThreadPool, 256, 16},
                      WindowCase{"QueueWindowOfOne", OverlapMode::SystemQueue, 1, 1, 10'000},
                      WindowCase{"ThreeQueuesWindowOfFortyOne", OverlapMode::SystemQueue, 41, 3},
                      WindowCase{"TwoQueuesWindowOfMany", OverlapMode::SystemQueue, 256, 2},
                      WindowCase{"ThreeQueuesWindowOfMany", OverlapMode::SystemQueue, 256, 3}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tambrel
