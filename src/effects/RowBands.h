// Row bands: the full-size output of the editor and of corvellin-fx splits the
// kernels whose rows are independent into bands of rows and runs the bands on
// every core. Each band computes exactly the bytes the single-threaded walk
// would, so the result never depends on the number of threads or on which
// thread ran which band. Interactive work (thumbnails, previews) passes no pool
// and runs on the calling thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "picture/Picture.h"

namespace corvellin {

// The height of one band. Small enough that two cores share a 4000-row picture
// evenly, large enough that a band's set-up (a row stretcher, a saved row) is
// negligible next to its pixels.
inline constexpr int kBandRows = 64;

// A fixed set of worker threads that runs numbered jobs. The calling thread
// works too and returns only when every job has ended.
class BandPool {
public:
    // threads counts the calling thread: BandPool(1) starts no worker. 0 means
    // one per core.
    explicit BandPool(unsigned threads = 0);
    ~BandPool();
    BandPool(const BandPool&) = delete;
    BandPool& operator=(const BandPool&) = delete;

    unsigned threads() const { return static_cast<unsigned>(workers_.size()) + 1; }

    // Calls job(i) once for every i in [0, count) and waits for all of them.
    // If jobs throw, the remaining jobs still run and the first exception is
    // rethrown. Calls from several threads take turns.
    void RunEach(int count, const std::function<void(int)>& job);

private:
    void WorkerLoop();
    void TakeJobs(std::unique_lock<std::mutex>& lock);

    std::vector<std::thread> workers_;
    std::mutex runMutex_;  // one RunEach at a time
    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    const std::function<void(int)>* job_ = nullptr;
    int count_ = 0, next_ = 0, running_ = 0;
    std::uint64_t generation_ = 0;
    std::exception_ptr failure_;
    bool stopping_ = false;
};

// Runs work(first, end) over consecutive bands covering rows [0, rows). Every
// band but the last is a multiple of align rows tall (for kernels whose rows
// come in groups, such as mosaic blocks). Without a pool, or with one thread,
// or when the rows fit in one band, work(0, rows) runs on the calling thread.
void ForEachRowBand(BandPool* pool, int rows, const std::function<void(int first, int end)>& work, int align = 1);

// Splits the rows into the bands ForEachRowBand would use: the start of each
// band, then rows. Exposed for kernels that prepare per-band state first.
std::vector<int> RowBandStarts(int rows, int align);

// Runs work(bytes, pixels) over the picture's rows in bands, for kernels in
// which every pixel depends on itself alone. An empty picture runs nothing.
void ForEachPixelBand(BandPool* pool, Picture& picture,
                      const std::function<void(std::uint8_t* bytes, std::size_t pixels)>& work);

}  // namespace corvellin
