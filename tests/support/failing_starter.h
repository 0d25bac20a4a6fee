#pragma once

// A thread start that fails as the system reports it, for the start-up's thread
// starter (preparationThreadStarter, search/preparation.h).

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

namespace fifteen::test_support {

// Starts before the first failure: while positive, a start succeeds and takes
// one off; at 0 and below every start throws.
extern std::atomic<int32_t> startsBeforeFailure;
std::thread failingStarter(std::function<void()> body);

}  // namespace fifteen::test_support
