#include "RowBands.h"

#include <algorithm>

namespace corvellin {

BandPool::BandPool(unsigned threads) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 1; i < threads; ++i) workers_.emplace_back([this] { WorkerLoop(); });
}

BandPool::~BandPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

// Takes job numbers until none is left; called with the lock held, releases it
// while a job runs.
void BandPool::TakeJobs(std::unique_lock<std::mutex>& lock) {
    while (job_ != nullptr && next_ < count_) {
        const int index = next_++;
        const std::function<void(int)>& job = *job_;
        ++running_;
        lock.unlock();
        std::exception_ptr failure;
        try {
            job(index);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        if (failure && !failure_) failure_ = failure;
        if (--running_ == 0 && next_ >= count_) idle_.notify_all();
    }
}

void BandPool::WorkerLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    std::uint64_t seen = generation_;
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
        if (stopping_) return;
        seen = generation_;
        TakeJobs(lock);
    }
}

void BandPool::RunEach(int count, const std::function<void(int)>& job) {
    if (count <= 0) return;
    std::lock_guard<std::mutex> turn(runMutex_);
    std::unique_lock<std::mutex> lock(mutex_);
    job_ = &job;
    count_ = count;
    next_ = 0;
    failure_ = nullptr;
    ++generation_;
    lock.unlock();
    wake_.notify_all();
    lock.lock();
    TakeJobs(lock);
    idle_.wait(lock, [&] { return next_ >= count_ && running_ == 0; });
    job_ = nullptr;
    const std::exception_ptr failure = failure_;
    failure_ = nullptr;
    lock.unlock();
    if (failure) std::rethrow_exception(failure);
}

std::vector<int> RowBandStarts(int rows, int align) {
    std::vector<int> starts;
    if (rows <= 0) return {0};
    // An alignment of more rows than there are makes one band; clamped, it
    // cannot overflow the rounding below (Mosaic passes its block size).
    align = std::clamp(align, 1, rows);
    const int height = std::max(align, (kBandRows + align - 1) / align * align);
    for (int y = 0; y < rows; y += height) starts.push_back(y);
    starts.push_back(rows);
    return starts;
}

void ForEachRowBand(BandPool* pool, int rows, const std::function<void(int, int)>& work, int align) {
    if (rows <= 0) return;
    const std::vector<int> starts = RowBandStarts(rows, align);
    const int bands = static_cast<int>(starts.size()) - 1;
    if (pool == nullptr || pool->threads() < 2 || bands < 2) {
        work(0, rows);
        return;
    }
    pool->RunEach(bands, [&](int band) {
        work(starts[static_cast<std::size_t>(band)], starts[static_cast<std::size_t>(band) + 1]);
    });
}

void ForEachPixelBand(BandPool* pool, Picture& picture,
                      const std::function<void(std::uint8_t*, std::size_t)>& work) {
    if (picture.empty()) return;
    const std::size_t width = static_cast<std::size_t>(picture.width());
    ForEachRowBand(pool, picture.height(), [&](int first, int end) {
        work(picture.row(first), width * static_cast<std::size_t>(end - first));
    });
}

}  // namespace corvellin
