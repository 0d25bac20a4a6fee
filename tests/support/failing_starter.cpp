#include "tests/support/failing_starter.h"

#include <system_error>
#include <utility>

namespace fifteen::test_support {

std::atomic<int32_t> startsBeforeFailure{0};

std::thread failingStarter(std::function<void()> body) {
    if (startsBeforeFailure.fetch_sub(1) <= 0) {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
    return std::thread(std::move(body));
}

}  // namespace fifteen::test_support
