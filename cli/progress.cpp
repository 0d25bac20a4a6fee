#include "cli/progress.h"

#include <chrono>
#include <cstdio>

namespace fifteen::cli {

ProgressTicker::ProgressTicker(std::string label) : label_(std::move(label)) {
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
    int seconds = 0;
    bool shown = false;
    while (!wake_.wait_for(lock, std::chrono::seconds(1), [this] { return stop_; })) {
        ++seconds;
        std::fprintf(stderr, "\r%s: solving, %d sec", label_.c_str(), seconds);
        std::fflush(stderr);
        shown = true;
    }
    if (shown) std::fprintf(stderr, "\r\033[K");
}

}  // namespace fifteen::cli
