#include "cli/progress.h"

#include <cstdio>

#include "search/report.h"
#include "search/solver.h"

namespace fifteen::cli {

namespace {
constexpr auto redrawPeriod = std::chrono::milliseconds(250);
}

ProgressTicker::ProgressTicker(const Solver& solver)
    : solver_(solver), start_(std::chrono::steady_clock::now()) {
    thread_ = std::thread([this] { run(); });
}

ProgressTicker::~ProgressTicker() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void ProgressTicker::run() {
    std::unique_lock lock(mutex_);
    bool shown = false;
    while (!wake_.wait_for(lock, redrawPeriod, [this] { return stop_; })) {
        const SearchProgress progress = solver_.progress();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start_)
                            .count();
        ProgressText text;
        formatProgress(text, progress.bound, progress.nodes, ms);
        // "\033[K" clears what a longer earlier line left.
        std::fprintf(stderr, "\r%s\033[K", text.c_str());
        std::fflush(stderr);
        shown = true;
    }
    if (shown) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
    }
}

}  // namespace fifteen::cli
