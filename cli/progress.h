#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace fifteen {
class Solver;
}

namespace fifteen::cli {

// While alive, redraws one standard-error line about four times a second with the
// progress of the running search (bound, nodes, nodes per second); the line is
// cleared on destruction. Only used when standard error is a terminal. solver
// must outlive it.
class ProgressTicker {
  public:
    explicit ProgressTicker(const Solver& solver);
    ~ProgressTicker();
    ProgressTicker(const ProgressTicker&) = delete;
    ProgressTicker& operator=(const ProgressTicker&) = delete;

  private:
    void run();

    const Solver& solver_;
    std::chrono::steady_clock::time_point start_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace fifteen::cli
