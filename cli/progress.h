#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace fifteen::cli {

// While alive, rewrites one stderr line each second with the elapsed time; the
// line is cleared on destruction. Only used when stderr is a terminal.
class ProgressTicker {
  public:
    explicit ProgressTicker(std::string label);
    ~ProgressTicker();
    ProgressTicker(const ProgressTicker&) = delete;
    ProgressTicker& operator=(const ProgressTicker&) = delete;

  private:
    void run();

    std::string label_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace fifteen::cli
