#include "ui/analysis_worker.h"

#include <utility>

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace fifteen::ui {

namespace {

[[maybe_unused]] constexpr int backgroundNice = 4;

}  // namespace

AnalysisWorker::AnalysisWorker(Platform& platform, SolverServices& services,
                               std::function<void(const Result&)> onResult)
    : platform_(platform), services_(services), onResult_(std::move(onResult)) {}

AnalysisWorker::~AnalysisWorker() {
    stop();
}

uint64_t AnalysisWorker::analyse(const Board& board) {
    return submit(Job{0, Kind::analysis, board, {}});
}

uint64_t AnalysisWorker::review(const Board& start, std::vector<WrittenMove> moves) {
    return submit(Job{0, Kind::review, start, std::move(moves)});
}

uint64_t AnalysisWorker::submit(Job job) {
    uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        if (stop_) return 0;
        generation = generation_.load(std::memory_order_relaxed) + 1;
        generation_.store(generation, std::memory_order_relaxed);
        job.generation = generation;
        latestKind_ = job.kind;
        answered_ = false;
        job_ = std::move(job);
        // Under the lock, so it cannot fall between the thread's taking the new
        // job and clearing the request for it.
        services_.cancelAnalysis();
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    }
    wake_.notify_one();
    return generation;
}

void AnalysisWorker::cancel() {
    if (answered_) return;
    answered_ = true;
    std::lock_guard lock(mutex_);
    generation_.store(generation_.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    job_.reset();
    services_.cancelAnalysis();
}

void AnalysisWorker::stop() {
    {
        std::lock_guard lock(mutex_);
        if (stop_ && !thread_.joinable()) return;
        stop_ = true;
        job_.reset();
        if (thread_.joinable()) services_.cancelAnalysis();
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void AnalysisWorker::deliver(const Result& result) {
    if (answered_ || result.generation != generation_.load(std::memory_order_relaxed)) return;
    answered_ = true;
    if (onResult_) onResult_(result);
}

std::optional<AnalysisWorker::Kind> AnalysisWorker::pending() const {
    if (answered_) return std::nullopt;
    return latestKind_;
}

void AnalysisWorker::run() {
#if defined(__linux__)
    // Background work: below the GUI thread, so a busy machine still answers the
    // user at once. The threads this one starts for its searches inherit it.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), backgroundNice);
#endif
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || job_.has_value(); });
            if (stop_) return;
            job = std::move(*job_);
            job_.reset();
            services_.clearAnalysisCancel();
        }
        Result result;
        result.generation = job.generation;
        result.kind = job.kind;
        if (job.kind == Kind::analysis) {
            result.analysis = services_.analyseMoves(job.board);
        } else {
            result.review = services_.reviewMoves(job.board, job.moves);
        }
        // A later request has taken its place: nothing to hand over.
        if (job.generation != generation_.load(std::memory_order_relaxed)) continue;
        // Dropped once the dialog closes; the loop then ends at stop.
        platform_.post([this, result = std::move(result)] { deliver(result); });
    }
}

}  // namespace fifteen::ui
