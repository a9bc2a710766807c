// Overlapping slow work on a stream of items while they are taken back strictly in the order
// they were put in: a producer puts items, worker threads do the work of those that need it
// (each one item at a time, or each keeping many in flight through an asynchronous queue), and
// the calling thread takes each in turn. At most `window` items lie between putting and taking,
// so memory and open handles stay bounded however long the stream is.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace tambrel {

enum class OverlapMode : std::uint8_t {
    // Strictly serial: the producer runs on the calling thread, and each item is taken as soon
    // as it is put, with its work not yet done.
    Serial,
    // `workers` threads, each doing the work of one item at a time.
    ThreadPool,
    // `queueThreads` threads, each keeping the work of many items in flight through a queue of
    // the system's; the thread pool where the run is given no queue or the system has none.
    SystemQueue,
};

struct OverlapOptions {
    OverlapMode mode = OverlapMode::SystemQueue;
    // Items between putting and taking. The larger, the fewer hand-overs between the threads
    // per item; what is in flight at once is bounded apart from it (`workers`, `queueDepth`).
    std::size_t window = 1024;
    unsigned workers = 16;
    // Items each queue keeps in flight at most (each holds an open file): 256 in all stays well
    // under the 1,024 descriptors a process may hold by default, and keeps a disk as busy as
    // more would.
    std::size_t queueDepth = 128;
    // Each with its own queue, as deep as its share of the window. On a warm cache the kernel
    // does a queue's opens and reads on the thread that hands them over, so one queue thread
    // keeps one core busy: on two cores (load_bench, 1,000,000 files warm) the whole load took
    // 2.9 s with two queue threads, 4.3 s with one, 3.6 s with three.
    unsigned queueThreads = 2;
};

template <typename Item> class OrderedWindow {
public:
    // What the producer puts its items through.
    class Producer {
    public:
        // False once the taker has given up.
        virtual bool put(Item&& item, bool needsWork) = 0;
        // Items are handed out a batch at a time; this hands out the ones put so far, before
        // the producer does something that may keep it waiting (listing a folder on a cold disk).
        virtual void flush() = 0;

    protected:
        ~Producer() = default;
    };
    // Called on a worker thread for each item that needs work.
    using Work = std::function<void(Item&)>;
    // Called on the calling thread for every item, in order; `worked` tells whether the work
    // has been done (never in a serial run: the taker then does it, at the item's turn).
    using Take = std::function<void(Item&, bool worked)>;
    // Called first on every thread this starts.
    using ThreadStart = std::function<void()>;

    // The same work done asynchronously: started on many items at once and finishing in any
    // order, all from the one thread that started the queue.
    class Queue {
    public:
        virtual ~Queue() = default;
        // How many items may be in flight at once.
        virtual std::size_t capacity() const = 0;
        // Starts the work on `item`, which stays in place, untouched by anyone else, until
        // `ticket` is reported finished.
        virtual void start(Item& item, std::uint64_t ticket) = 0;
        // Waits until the work in flight has moved on and calls `finished` with the ticket of
        // every item whose work is now done. Called only while some item is in flight.
        virtual void advance(const std::function<void(std::uint64_t ticket)>& finished) = 0;
    };
    // Called on the thread that will drive the queue, after ThreadStart; null where the system
    // has no queue.
    using StartQueue = std::function<std::unique_ptr<Queue>(std::size_t depth)>;

    // Runs `produce(producer)` to its end and takes every item it put before returning.
    static void run(const OverlapOptions& options, const std::function<void(Producer&)>& produce,
                    const Work& work, const Take& take, const ThreadStart& threadStart = {},
                    const StartQueue& startQueue = {}) {
        if (options.mode != OverlapMode::Serial) {
            OrderedWindow window(options.window == 0 ? 1 : options.window);
            if (window.runOverlapped(options, produce, work, take, threadStart, startQueue))
                return;
        }
        // Serial, or no thread could be started: nothing has been put yet either way.
        SerialProducer serial(take);
        produce(serial);
    }

private:
    // Handing items over one at a time costs a lock and often a thread wake-up per item, which
    // on a warm cache is dearer than the work itself; a batch shares them. On two cores
    // (window_start_bench, 100,000 files) batches of 128 halved the taker's waits against 32,
    // and cut the thread switches of a start from about 4,300 to 2,800.
    static constexpr std::size_t kBatch = 128;
    // While the work is quick (a warm cache) a worker claims this many items at once, and
    // another worker is woken only for what it leaves, so few threads share the processor.
    static constexpr std::size_t kMostClaimed = 8;
    // Work slower than this per item waits on the disk: a worker then claims one item at a time
    // so that as many requests as there are workers are in flight, and none waits behind
    // another in a claimed batch.
    static constexpr std::chrono::microseconds kWaitingOnDisk{50};
    static constexpr std::size_t kQuickRunEndingTheWait = 32;
    static constexpr std::uint64_t kNotWaiting = std::numeric_limits<std::uint64_t>::max();

    class SerialProducer final : public Producer {
    public:
        explicit SerialProducer(const Take& take) : take_(take) {}
        bool put(Item&& item, bool) override {
            take_(item, false);
            return true;
        }
        void flush() override {}

    private:
        const Take& take_;
    };

    class WindowProducer final : public Producer {
    public:
        explicit WindowProducer(OrderedWindow& window) : window_(window) {}
        bool put(Item&& item, bool needsWork) override {
            return window_.put(std::move(item), needsWork);
        }
        void flush() override { window_.publish(); }

    private:
        OrderedWindow& window_;
    };

    struct Slot {
        Item item{};
        // Set by the producer (no work needed) or the worker; the taker waits for it.
        std::atomic<bool> done{false};
    };

    explicit OrderedWindow(std::size_t capacity)
        : slots_(capacity), work_(capacity), batch_(std::min(kBatch, capacity)) {
        pendingWork_.reserve(capacity);
    }

    Slot& slot(std::uint64_t index) {
        return slots_[static_cast<std::size_t>(index % slots_.size())];
    }

    // Producer's thread. The slots from the taker's head onwards up to the window's size are
    // the producer's alone until they are published.
    bool put(Item&& item, bool needsWork) {
        if (stopped_.load())
            return false;
        if (written_ - head_.load() == slots_.size()) {
            // What is written but not handed out could never be taken: hand it out first.
            publish();
            std::unique_lock lock(mutex_);
            producerWaiting_.store(true);
            while (!roomForBatch(head_.load()) && !stopped_.load())
                spaceFree_.wait(lock);
            producerWaiting_.store(false);
            if (stopped_.load())
                return false;
        }
        Slot& target = slot(written_);
        target.item = std::move(item);
        target.done.store(!needsWork, std::memory_order_relaxed);
        if (needsWork)
            pendingWork_.push_back(written_);
        ++written_;
        if (written_ - published_.load(std::memory_order_relaxed) >= batch_)
            publish();
        return true;
    }

    bool roomForBatch(std::uint64_t head) const {
        return written_ - head + batch_ <= slots_.size();
    }

    // Producer's thread: makes the written items visible to the workers and the taker.
    void publish() {
        if (written_ == published_.load(std::memory_order_relaxed))
            return;
        std::lock_guard lock(mutex_);
        for (std::uint64_t index : pendingWork_)
            work_[static_cast<std::size_t>(workTail_++ % work_.size())] = index;
        const std::size_t newWork = pendingWork_.size();
        pendingWork_.clear();
        const std::uint64_t before = published_.load(std::memory_order_relaxed);
        published_.store(written_);
        if (newWork > 0 && waitingWorkers_ > 0)
            workReady_.notify_one();
        // A taker waiting for an item already published is woken when that item is done.
        if (const std::uint64_t awaitedItem = takerWaitingFor_.load();
            awaitedItem != kNotWaiting && awaitedItem >= before)
            itemDone_.notify_one();
    }

    // Producer's thread, at its end.
    void finishProducing() {
        publish();
        markFinished();
    }

    void markFinished() {
        std::lock_guard lock(mutex_);
        producerFinished_ = true;
        workReady_.notify_all();
        itemDone_.notify_all();
    }

    void stop() {
        std::lock_guard lock(mutex_);
        stopped_.store(true);
        spaceFree_.notify_all();
        workReady_.notify_all();
    }

    // Under the mutex: takes `share` published items for the calling thread, and wakes another
    // worker for what is left.
    void claim(std::uint64_t share, std::vector<std::uint64_t>& claimed) {
        claimed.clear();
        for (std::uint64_t i = 0; i < share; ++i)
            claimed.push_back(work_[static_cast<std::size_t>(workHead_++ % work_.size())]);
        if (workTail_ > workHead_ && waitingWorkers_ > 0)
            workReady_.notify_one();
    }

    // The claimed slot was the calling thread's alone until now: the producer cannot reach it
    // before the taker has passed it, and the taker waits for `done`.
    void markDone(std::uint64_t index) {
        slot(index).done.store(true);
        if (takerWaitingFor_.load() == index) {
            std::lock_guard wake(mutex_);
            itemDone_.notify_one();
        }
    }

    void workLoop(const Work& work) {
        std::vector<std::uint64_t> claimed;
        claimed.reserve(kMostClaimed);
        bool waitingOnDisk = false;
        std::size_t quickInARow = 0;
        std::unique_lock lock(mutex_);
        for (;;) {
            if (stopped_.load())
                return;
            const std::uint64_t available = workTail_ - workHead_;
            if (available > 0) {
                const std::uint64_t share =
                    waitingOnDisk ? 1 : std::min<std::uint64_t>(available, kMostClaimed);
                claim(share, claimed);
                lock.unlock();
                const auto started = std::chrono::steady_clock::now();
                for (std::uint64_t index : claimed) {
                    work(slot(index).item);
                    markDone(index);
                }
                // On a cold disk some files still answer at once (their inode came in with a
                // neighbour's), so only a run of quick ones ends the waiting.
                if (std::chrono::steady_clock::now() - started >
                    kWaitingOnDisk * static_cast<int>(claimed.size())) {
                    waitingOnDisk = true;
                    quickInARow = 0;
                } else if (waitingOnDisk && ++quickInARow >= kQuickRunEndingTheWait) {
                    waitingOnDisk = false;
                }
                lock.lock();
                continue;
            }
            if (producerFinished_)
                return;
            ++waitingWorkers_;
            workReady_.wait(lock);
            --waitingWorkers_;
        }
    }

    // A queue's thread: claims what has been published while its queue has room, without
    // waiting for more, and otherwise waits on the queue while anything is in flight. Only
    // with nothing in flight does it wait for the producer.
    void queueLoop(Queue& queue) {
        const std::size_t capacity = std::max<std::size_t>(1, queue.capacity());
        std::size_t inFlight = 0;
        std::vector<std::uint64_t> claimed;
        claimed.reserve(capacity);
        const std::function<void(std::uint64_t)> finished = [this, &inFlight](std::uint64_t index) {
            --inFlight;
            markDone(index);
        };
        std::unique_lock lock(mutex_);
        for (;;) {
            // Whatever is still in flight ends when the queue is destroyed.
            if (stopped_.load())
                return;
            const std::uint64_t available = workTail_ - workHead_;
            if (available > 0 && inFlight < capacity) {
                const std::uint64_t share = std::min<std::uint64_t>(available, capacity - inFlight);
                claim(share, claimed);
                lock.unlock();
                for (std::uint64_t index : claimed) {
                    queue.start(slot(index).item, index);
                    ++inFlight;
                }
                lock.lock();
                continue;
            }
            if (inFlight == 0) {
                if (producerFinished_)
                    return;
                ++waitingWorkers_;
                workReady_.wait(lock);
                --waitingWorkers_;
                continue;
            }
            lock.unlock();
            queue.advance(finished);
            lock.lock();
        }
    }

    bool ready(std::uint64_t index) { return index < published_.load() && slot(index).done.load(); }

    // What the taker, finding `head` not ready, waits for: the last published item of the batch
    // from `head` on, and only once that is done (while `head` is not yet) `head` itself. Woken
    // for every item, it would sleep and wake again for nearly each one, as the work finishes
    // at about the pace the taker takes it; woken for a batch, it then takes the batch at once.
    std::uint64_t awaited(std::uint64_t head) {
        const std::uint64_t published = published_.load();
        if (head >= published)
            return head;
        const std::uint64_t last = std::min(head + batch_ - 1, published - 1);
        return slot(last).done.load() ? head : last;
    }

    void takeLoop(const Take& take) {
        for (;;) {
            const std::uint64_t head = head_.load(std::memory_order_relaxed);
            if (!ready(head)) {
                std::unique_lock lock(mutex_);
                for (;;) {
                    // Stored before the item's `done` is looked at again, as markDone stores
                    // `done` before it looks at this: one of the two sees the other.
                    const std::uint64_t item = awaited(head);
                    takerWaitingFor_.store(item);
                    if (ready(item)) {
                        if (item == head)
                            break;
                        // The batch's last is done, perhaps only just: now the head itself is
                        // waited for, as no one would wake the taker for it otherwise.
                        continue;
                    }
                    if (producerFinished_ && head == published_.load())
                        break;
                    itemDone_.wait(lock);
                }
                takerWaitingFor_.store(kNotWaiting);
                if (!ready(head))
                    return; // the producer has finished and everything is taken
            }
            Slot& current = slot(head);
            take(current.item, true);
            current.item = Item{};
            head_.store(head + 1);
            // A waiting producer has handed out all it wrote; it is woken once a batch fits.
            if (producerWaiting_.load() &&
                published_.load() - (head + 1) + batch_ <= slots_.size()) {
                std::lock_guard lock(mutex_);
                spaceFree_.notify_one();
            }
        }
    }

    // Starts the queues' threads, each making its queue after ThreadStart; false, with every
    // thread joined, when no queue could be made.
    bool startQueueThreads(const OverlapOptions& options, const ThreadStart& threadStart,
                           const StartQueue& startQueue, std::vector<std::thread>& threads) {
        const std::size_t count =
            std::max<std::size_t>(1, std::min<std::size_t>(options.queueThreads, slots_.size()));
        const std::size_t depth = std::max<std::size_t>(
            1, std::min((slots_.size() + count - 1) / count, options.queueDepth));
        std::mutex startedMutex;
        std::condition_variable startedChanged;
        std::size_t answered = 0;
        std::size_t started = 0;
        for (std::size_t i = 0; i < count; ++i) {
            try {
                threads.emplace_back([&, this] {
                    if (threadStart)
                        threadStart();
                    std::unique_ptr<Queue> queue = startQueue(depth);
                    {
                        std::lock_guard lock(startedMutex);
                        ++answered;
                        started += queue ? 1 : 0;
                        startedChanged.notify_one();
                    }
                    // The locals above are gone once every thread has answered.
                    if (queue)
                        queueLoop(*queue);
                });
            } catch (const std::system_error&) {
                break;
            }
        }
        std::unique_lock lock(startedMutex);
        startedChanged.wait(lock, [&] { return answered == threads.size(); });
        if (started > 0)
            return true;
        lock.unlock();
        for (std::thread& thread : threads)
            thread.join();
        threads.clear();
        return false;
    }

    // False when the threads could not be started; nothing was put then.
    bool runOverlapped(const OverlapOptions& options, const std::function<void(Producer&)>& produce,
                       const Work& work, const Take& take, const ThreadStart& threadStart,
                       const StartQueue& startQueue) {
        const std::size_t workerCount =
            std::max<std::size_t>(1, std::min<std::size_t>(options.workers, slots_.size()));
        std::vector<std::thread> threads;
        threads.reserve(std::max<std::size_t>(workerCount, options.queueThreads) + 1);
        auto stopAndJoin = [&] {
            stop();
            markFinished();
            for (std::thread& thread : threads)
                if (thread.joinable())
                    thread.join();
        };
        const bool queued = options.mode == OverlapMode::SystemQueue && startQueue &&
                            startQueueThreads(options, threadStart, startQueue, threads);
        // Fewer workers than asked for still overlap; none at all, or no producer, is a serial
        // scan instead.
        for (std::size_t i = 0; i < (queued ? 0 : workerCount); ++i) {
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
                WindowProducer producer(*this);
                produce(producer);
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
    std::vector<std::uint64_t> work_; // indices of published items awaiting a worker
    const std::size_t batch_;
    std::mutex mutex_;
    std::condition_variable spaceFree_;
    std::condition_variable workReady_;
    std::condition_variable itemDone_;
    std::atomic<std::uint64_t> head_{0};      // next to take; written by the taker only
    std::atomic<std::uint64_t> published_{0}; // items visible to workers and taker
    std::atomic<std::uint64_t> takerWaitingFor_{kNotWaiting};
    std::atomic<bool> producerWaiting_{false};
    std::atomic<bool> stopped_{false};
    // The producer's own.
    std::uint64_t written_ = 0;
    std::vector<std::uint64_t> pendingWork_;
    // Under the mutex.
    std::uint64_t workHead_ = 0;
    std::uint64_t workTail_ = 0;
    int waitingWorkers_ = 0;
    bool producerFinished_ = false;
};

} // namespace tambrel
