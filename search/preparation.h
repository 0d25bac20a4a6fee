#pragma once

// Interface sketch agreed between the pattern-database, command-line and desktop
// work; the pattern-database implementation owns this file and may extend it,
// keeping these names.

#include <functional>
#include <thread>

namespace fifteen {

enum class PreparedTable { patternDbA, patternDbB, wdTable };

// Called on the build thread once its table is complete; the thread ends when it
// returns (the desktop program sends its ready message from here and waits).
using PreparationCallback = std::function<void(PreparedTable table)>;

// Start-up of the solver's tables: allocates both pattern databases, fills the
// rank tables, then starts three threads in the order database A, database B,
// walking-distance table. The tables are process-wide and built once per process.
class Preparation {
public:
    Preparation() = default;
    Preparation(const Preparation&) = delete;
    Preparation& operator=(const Preparation&) = delete;
    ~Preparation();  // joins

    // False, with nothing started, when a table could not be allocated.
    bool start(PreparationCallback onDone);
    void join();

private:
    std::thread threads_[3];
};

}  // namespace fifteen
