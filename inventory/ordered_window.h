// Overlapping slow work on a stream of items while they are taken back strictly in the order
// they were put in: a producer puts items, a few worker threads do the work of those that need
// it, and the calling thread takes each in turn. At most `window` items lie between putting and
// taking, so memory and open handles stay bounded however long the stream is.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace tambrel {

struct OverlapOptions {
    // Strictly serial: the producer runs on the calling thread, and each item is taken as soon
    // as it is put, with its work not yet done.
    bool serial = false;
    std::size_t window = 256;
    unsigned workers = 16;
};

template <typename Item> class OrderedWindow {
public:
    // Called on the producer's thread for each new item; false once the taker has given up.
    using Put = std::function<bool(Item&& item, bool needsWork)>;
    // Called on a worker thread for each item that needs work.
    using Work = std::function<void(Item&)>;
    // Called on the calling thread for every item, in order; `worked` tells whether the work
    // has been done (never in a serial run: the taker then does it, at the item's turn).
    using Take = std::function<void(Item&, bool worked)>;
    // Called first on every thread this starts.
    using ThreadStart = std::function<void()>;

    // Runs `produce(put)` to its end and takes every item it put before returning.
    static void run(const OverlapOptions& options, const std::function<void(const Put&)>& produce,
                    const Work& work, const Take& take, const ThreadStart& threadStart = {}) {
        if (!options.serial) {
            OrderedWindow window(options.window == 0 ? 1 : options.window);
            if (window.runOverlapped(options, produce, work, take, threadStart))
                return;
        }
        // Serial, or no thread could be started: nothing has been put yet either way.
        produce([&take](Item&& item, bool) {
            take(item, false);
            return true;
        });
    }

private:
    struct Slot {
        Item item{};
        bool needsWork = false;
        bool done = false;
    };

    explicit OrderedWindow(std::size_t capacity) : slots_(capacity) {}

    Slot& slot(std::uint64_t index) {
        return slots_[static_cast<std::size_t>(index % slots_.size())];
    }

    bool put(Item&& item, bool needsWork) {
        std::unique_lock lock(mutex_);
        while (tail_ - head_ == slots_.size() && !stopped_) {
            ++waitingProducers_;
            spaceFree_.wait(lock);
            --waitingProducers_;
        }
        if (stopped_)
            return false;
        Slot& target = slot(tail_);
        target.item = std::move(item);
        target.needsWork = needsWork;
        target.done = !needsWork;
        const bool atHead = tail_ == head_;
        ++tail_;
        if (needsWork && waitingWorkers_ > 0)
            workReady_.notify_one();
        else if (!needsWork && atHead && waitingTaker_)
            itemDone_.notify_one();
        return true;
    }

    void finishProducing() {
        std::lock_guard lock(mutex_);
        producerFinished_ = true;
        workReady_.notify_all();
        itemDone_.notify_all();
    }

    void stop() {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        spaceFree_.notify_all();
        workReady_.notify_all();
    }

    void workLoop(const Work& work) {
        std::unique_lock lock(mutex_);
        for (;;) {
            // Items before the head were taken already; their slots may hold newer items.
            if (claimed_ < head_)
                claimed_ = head_;
            while (claimed_ < tail_ && !slot(claimed_).needsWork)
                ++claimed_;
            if (claimed_ < tail_ && !stopped_) {
                const std::uint64_t index = claimed_++;
                Slot& target = slot(index);
                lock.unlock();
                // The slot is ours alone until it is marked done: the producer cannot reach it
                // before the taker has passed it, and the taker waits for `done`.
                work(target.item);
                lock.lock();
                target.done = true;
                if (index == head_ && waitingTaker_)
                    itemDone_.notify_one();
                continue;
            }
            if (producerFinished_ || stopped_)
                return;
            ++waitingWorkers_;
            workReady_.wait(lock);
            --waitingWorkers_;
        }
    }

    void takeLoop(const Take& take) {
        for (;;) {
            std::unique_lock lock(mutex_);
            while (head_ == tail_ || !slot(head_).done) {
                if (head_ == tail_ && producerFinished_)
                    return;
                waitingTaker_ = true;
                itemDone_.wait(lock);
                waitingTaker_ = false;
            }
            Slot& current = slot(head_);
            lock.unlock();
            // The producer writes only slots the taker has passed, so this one stays as it is.
            take(current.item, true);
            current.item = Item{};
            lock.lock();
            ++head_;
            if (waitingProducers_ > 0)
                spaceFree_.notify_one();
        }
    }

    // False when the threads could not be started; nothing was put then.
    bool runOverlapped(const OverlapOptions& options,
                       const std::function<void(const Put&)>& produce, const Work& work,
                       const Take& take, const ThreadStart& threadStart) {
        const std::size_t workerCount =
            std::max<std::size_t>(1, std::min<std::size_t>(options.workers, slots_.size()));
        std::vector<std::thread> threads;
        threads.reserve(workerCount + 1);
        auto stopAndJoin = [&] {
            stop();
            finishProducing();
            for (std::thread& thread : threads)
                if (thread.joinable())
                    thread.join();
        };
        // Fewer workers than asked for still overlap; none at all, or no producer, is a serial
        // scan instead.
        for (std::size_t i = 0; i < workerCount; ++i) {
            try {
                threads.emplace_back([this, &work, &threadStart] {
                    if (threadStart)
                        threadStart();
                    workLoop(work);
                });
            } catch (const std::system_error&) {
                break;
            }
        }
        if (threads.empty())
            return false;
        try {
            threads.emplace_back([this, &produce, &threadStart] {
                if (threadStart)
                    threadStart();
                produce([this](Item&& item, bool needsWork) {
                    return put(std::move(item), needsWork);
                });
                finishProducing();
            });
        } catch (const std::system_error&) {
            stopAndJoin();
            return false;
        }
        try {
            takeLoop(take);
        } catch (...) {
            stopAndJoin();
            throw;
        }
        for (std::thread& thread : threads)
            thread.join();
        return true;
    }

    std::vector<Slot> slots_;
    std::mutex mutex_;
    std::condition_variable spaceFree_;
    std::condition_variable workReady_;
    std::condition_variable itemDone_;
    std::uint64_t head_ = 0;    // next to take
    std::uint64_t tail_ = 0;    // next to put
    std::uint64_t claimed_ = 0; // next a worker looks at
    int waitingProducers_ = 0;
    int waitingWorkers_ = 0;
    bool waitingTaker_ = false;
    bool producerFinished_ = false;
    bool stopped_ = false;
};

} // namespace tambrel
