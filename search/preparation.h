#pragma once

// Start-up of the solver's tables: the two pattern databases and the
// walking-distance table, each built on a thread of its own; a thread whose
// table is done joins the layers of a database still building.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace fifteen {

// The enumerators are named after the tables they stand for; being scoped they
// cannot clash with them, though GCC 12 warns that they shadow them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow"
enum class PreparedTable { patternDbA, patternDbB, wdTable };
#pragma GCC diagnostic pop

// The tables as the front ends name them while they are built (the dialog's list,
// the command line's progress), in the order of PreparedTable.
inline constexpr std::array<const char*, 3> tableNames = {
    "pattern database A", "pattern database B", "walking-distance table"};
inline const char* tableName(PreparedTable table) {
    return tableNames[static_cast<std::size_t>(table)];
}

// Called on the build thread once its build has ended, successfully or not (ask
// Preparation::succeeded); when it returns, the thread helps the databases still
// building, then ends (the desktop program sends its ready message from here and
// waits).
using PreparationCallback = std::function<void(PreparedTable table)>;

// Every preparation thread is started through this function, so that a test can
// make a start fail as the system does (std::system_error). Set it only while no
// preparation starts.
using PreparationThreadStarter = std::thread (*)(std::function<void()> body);
extern PreparationThreadStarter preparationThreadStarter;  // a plain std::thread

class SharedPdbBuild;

// Allocates both pattern databases (patternDbA, patternDbB), fills the rank
// tables, then starts three threads in the order database A, database B,
// walking-distance table (wdTable), and as many more as the thread limit exceeds
// three. The databases share the limit's threads, never fewer than their own
// two: a database thread that is done helps the other database (it freed its
// core); the walking-distance thread and the extra threads help when the limit
// leaves room for them beside the two database threads. A database thread
// stores its maximum depth in its database and in solverState.maxDepthA /
// maxDepthB before its callback. The tables are process-wide and built once per
// process (the walking-distance build needs an empty table).
class Preparation {
  public:
    Preparation();
    Preparation(const Preparation&) = delete;
    Preparation& operator=(const Preparation&) = delete;
    ~Preparation();  // asks the builds to stop, then joins

    // False, with nothing started and nothing newly allocated, when a database
    // could not be allocated, a thread could not be started (threadStartFailed),
    // this object has started before, or the program's databases already exist
    // (call releasePatternDbs first). No build begins before all its threads
    // exist, so a failed start runs no build and no callback.
    bool start(PreparationCallback onDone);
    // Threads that may build at once (the two database threads whatever it is);
    // 0, the default, is std::thread::hardware_concurrency. Only before start.
    void setThreadLimit(int32_t limit) { threadLimit_ = limit; }
    void join();
    // Ends the database builds at their next layer; a stopped build counts as
    // failed (its callback still runs). Any thread may call it.
    void requestStop();
    bool threadStartFailed() const { return threadStartFailed_; }

    // True once the table has been built completely. False while it builds and
    // when its build failed (a bitset that could not be allocated, or a
    // walking-distance table over capacity): the solver must not run then.
    // Valid on the table's thread from its callback on, and for all after join.
    bool succeeded(PreparedTable table) const;
    bool allSucceeded() const;

  private:
    void runPatternDb(PreparedTable table);
    void runWdTable(bool helps);
    void runHelper();
    void helpDatabases();
    void finish(PreparedTable table, bool ok);
    bool waitForAllThreads();
    void openGate(bool go);

    PreparationCallback onDone_;
    bool started_ = false;
    bool threadStartFailed_ = false;
    // Read between the layers of a build; relaxed, it hands over no data.
    std::atomic<bool> stop_{false};
    // The builds wait here until start has created all three threads.
    std::mutex gateMutex_;
    std::condition_variable gateOpened_;
    enum class Gate { closed, go, abandon } gate_ = Gate::closed;
    // Written by a build thread, read by the front end's thread; release/acquire
    // so that a true value also publishes the table it stands for.
    std::atomic<bool> succeeded_[3] = {false, false, false};
    int32_t threadLimit_ = 0;
    int32_t helperSlots_ = 1;  // per database
    // A and B, made by start (this header stays free of the database headers,
    // whose names clash with Qt's macros).
    std::unique_ptr<SharedPdbBuild[]> builds_;
    static constexpr int32_t maxThreads = 16;
    std::thread threads_[maxThreads];
};

// Frees both pattern databases. Only when no thread reads or builds them.
void releasePatternDbs();

}  // namespace fifteen
