// One queue for every worker. A worker whose engine is of an older preparation restarts it before it
// takes the next page.
#include "recognition_pool.h"

#include "tesseract_engine.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <mutex>
#include <optional>
#include <sched.h>
#include <stop_token>
#include <thread>
#include <vector>

namespace vlm {
namespace {

struct Job {
    GreyImage page;
    int32_t resolution = 0;
    std::promise<Recognition> promise;
};

} // namespace

struct RecognitionPool::State {
    std::mutex lock;
    std::condition_variable_any wake; // a job, a new preparation, or the end of the process
    std::condition_variable ready;    // an engine of the current preparation started or failed
    std::deque<Job> jobs;
    bool running = false;
    uint64_t preparation = 0;
    std::string folder;
    std::string languages;
    size_t started = 0; // engines of the current preparation that are ready
    bool failed = false;
    bool firstClaimed = false; // a worker started the preparation's first engine
    size_t idleReady = 0;      // waiting workers whose engine is of the current preparation
    size_t starting = 0;       // workers starting an engine
    std::vector<std::jthread> workers;
    std::vector<Engine> retired; // the workers' engines at exit, kept as they were: never torn down
    RecognitionPool::PageReader reader;
};

namespace {

size_t usableCores() {
    cpu_set_t cores;
    CPU_ZERO(&cores);
    if (sched_getaffinity(0, sizeof cores, &cores) == 0)
        return static_cast<size_t>(CPU_COUNT(&cores));
    return std::max(1u, std::thread::hardware_concurrency());
}

// The memory free now; none when it cannot be told.
std::optional<uint64_t> availableBytes() {
    std::ifstream info("/proc/meminfo");
    std::string key;
    uint64_t kilobytes = 0;
    while (info >> key >> kilobytes)
        if (key == "MemAvailable:")
            return kilobytes * 1024;
    return std::nullopt;
}

void work(std::stop_token stop, RecognitionPool::State& s) {
    Engine engine;
    uint64_t preparation = 0;
    std::unique_lock lock(s.lock);
    for (;;) {
        // One engine starts at once; the others only when more pages wait than workers are ready or
        // starting, so that a short document loads one engine and no page waits for a second one.
        const uint64_t counted = preparation == s.preparation ? preparation : 0;
        s.idleReady += counted != 0 ? 1 : 0;
        const bool woken = s.wake.wait(lock, stop, [&] {
            if (preparation == s.preparation)
                return !s.jobs.empty();
            return !s.firstClaimed || s.jobs.size() > s.idleReady + s.starting;
        });
        if (counted != 0 && counted == s.preparation)
            --s.idleReady;
        if (!woken || stop.stop_requested()) {
            s.retired.push_back(std::move(engine)); // the process is ending: out of Tesseract for good
            return;
        }
        if (preparation != s.preparation) {
            s.firstClaimed = true;
            ++s.starting;
            preparation = s.preparation;
            const std::string folder = s.folder;
            const std::string languages = s.languages;
            lock.unlock();
            const int32_t result = startEngine(folder, languages, engine);
            lock.lock();
            --s.starting;
            if (preparation == s.preparation) {
                ++s.started;
                s.failed = s.failed || result != VLM_OK;
                s.ready.notify_all();
            }
            continue;
        }
        Job job = std::move(s.jobs.front());
        s.jobs.pop_front();
        const RecognitionPool::PageReader reader = s.reader;
        lock.unlock();
        Recognition recognition;
        try {
            if (reader)
                recognition = reader(job.page, job.resolution);
            else
                recognition.result =
                    engine ? recognizeWords(*engine, job.page, job.resolution, recognition.words)
                           : VLM_ERR_LANGUAGE;
        } catch (...) {
            recognition = {VLM_ERR_OCR, {}};
        }
        job.promise.set_value(std::move(recognition));
        lock.lock();
    }
}

} // namespace

// Tesseract's own data must outlive the workers at exit: each ends its page or engine start and leaves,
// and is joined.
void stopWorkers(RecognitionPool::State& s) {
    std::vector<std::jthread> workers;
    {
        std::lock_guard lock(s.lock);
        workers = std::move(s.workers);
    }
    for (std::jthread& worker : workers)
        worker.request_stop();
    workers.clear(); // joins
}

RecognitionPool& RecognitionPool::shared() {
    static RecognitionPool* const pool = new RecognitionPool();
    return *pool;
}

size_t recognitionWorkers(size_t cores, std::optional<uint64_t> freeBytes) {
    const size_t byCores = std::max<size_t>(cores, 1);
    if (!freeBytes)
        return byCores;
    const uint64_t forEngines = *freeBytes > kBytesBesideWorkers ? *freeBytes - kBytesBesideWorkers : 0;
    return static_cast<size_t>(std::clamp<uint64_t>(forEngines / kBytesPerWorker, 1, byCores));
}

RecognitionPool::RecognitionPool()
    : workerCount_(recognitionWorkers(usableCores(), availableBytes())), state_(*new State()) {}

int32_t RecognitionPool::prepare(const std::string& folder, const std::string& languages) {
    State& s = state_;
    std::unique_lock lock(s.lock);
    if (s.running && s.folder == folder && s.languages == languages && s.started > 0 && !s.failed)
        return VLM_OK;
    ++s.preparation;
    s.folder = folder;
    s.languages = languages;
    s.started = 0;
    s.failed = false;
    s.firstClaimed = false;
    s.idleReady = 0;
    if (!s.running) {
        for (size_t i = 0; i < workerCount_; ++i)
            s.workers.emplace_back(work, std::ref(s));
        s.running = true;
    }
    s.wake.notify_all();
    // The first engine tells whether the packs load; the others start meanwhile, beside the first pages.
    s.ready.wait(lock, [&] { return s.started > 0; });
    if (s.failed)
        return VLM_ERR_LANGUAGE;
    // Tesseract makes its dictionary cache when its first engine starts, and at exit the cache goes before
    // every handler registered earlier: registered only now, the workers' stop runs while it is still there.
    static std::once_flag stopAtExit;
    std::call_once(stopAtExit, [] { std::atexit([] { stopWorkers(shared().state_); }); });
    return VLM_OK;
}

std::future<Recognition> RecognitionPool::recognise(GreyImage page, int32_t resolution) {
    Job job{std::move(page), resolution, {}};
    std::future<Recognition> result = job.promise.get_future();
    std::lock_guard guard(state_.lock);
    state_.jobs.push_back(std::move(job));
    state_.wake.notify_all();
    return result;
}

void RecognitionPool::setPageReader(PageReader reader) {
    std::lock_guard guard(state_.lock);
    state_.reader = std::move(reader);
}

void RecognitionPool::dropWaiting() {
    std::deque<Job> dropped; // their promises break once the lock is released
    {
        std::lock_guard guard(state_.lock);
        dropped.swap(state_.jobs);
    }
}

} // namespace vlm
