#include "search/preparation.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "heuristics/pdb/pattern_db.h"
#include "heuristics/pdb/wd_pdb55_tables.h"
#include "heuristics/wd/wd_table.h"
#include "search/solver_state.h"
#include "tests/heuristics/pdb/reference_pdb_build.h"
#include "tests/support/failing_starter.h"

// The start-up works on the program's process-wide tables: each test leaves them
// released so that the next can start again.

namespace fifteen {
namespace {

struct Completion {
    PreparedTable table;
    std::thread::id thread;
    bool succeeded;
};

class Recorder {
  public:
    explicit Recorder(Preparation& preparation) : preparation_(preparation) {}
    PreparationCallback callback() {
        return [this](PreparedTable table) {
            const bool ok = preparation_.succeeded(table);
            const std::lock_guard<std::mutex> lock(mutex_);
            completions_.push_back({table, std::this_thread::get_id(), ok});
        };
    }
    std::vector<Completion> completions() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return completions_;
    }

  private:
    Preparation& preparation_;
    std::mutex mutex_;
    std::vector<Completion> completions_;
};

// Lets the first allowed allocations through and fails every later one.
std::atomic<int32_t> allowedAllocations{0};
void* limitedAllocator(std::size_t bytes) {
    return allowedAllocations.fetch_sub(1) > 0 ? std::malloc(bytes) : nullptr;
}

class StartUp : public ::testing::Test {
  protected:
    void SetUp() override { previous_ = pdbAllocator; }
    void TearDown() override {
        pdbAllocator = previous_;
        releasePatternDbs();
    }
    PdbAllocator previous_ = nullptr;
};

TEST_F(StartUp, AFailedTableAllocationStartsNothing) {
    pdbAllocator = &limitedAllocator;
    for (int32_t allowed : {0, 1}) {
        allowedAllocations = allowed;
        Preparation preparation;
        Recorder recorder(preparation);
        EXPECT_FALSE(preparation.start(recorder.callback())) << allowed;
        preparation.join();
        EXPECT_TRUE(recorder.completions().empty());
        EXPECT_EQ(patternDbA.entries, nullptr);
        EXPECT_EQ(patternDbB.entries, nullptr);
        EXPECT_FALSE(preparation.allSucceeded());
    }
}

TEST_F(StartUp, BuildsTheThreeTablesOnThreadsOfTheirOwn) {
    solverState.maxDepthA = 0;
    solverState.maxDepthB = 0;
    Preparation preparation;
    Recorder recorder(preparation);
    ASSERT_TRUE(preparation.start(recorder.callback()));
    EXPECT_FALSE(preparation.start(recorder.callback())) << "a second start";
    preparation.join();

    const std::vector<Completion> completions = recorder.completions();
    ASSERT_EQ(completions.size(), 3u);
    std::set<PreparedTable> tables;
    std::set<std::thread::id> threads;
    for (const Completion& c : completions) {
        tables.insert(c.table);
        threads.insert(c.thread);
        EXPECT_TRUE(c.succeeded) << "known inside its callback";
        EXPECT_NE(c.thread, std::this_thread::get_id());
    }
    EXPECT_EQ(tables.size(), 3u);
    EXPECT_EQ(threads.size(), 3u);
    EXPECT_TRUE(preparation.allSucceeded());
    EXPECT_EQ(solverState.maxDepthA, 56);
    EXPECT_EQ(solverState.maxDepthB, 58);
    EXPECT_EQ(patternDbA.maxDepth, 56) << "the database knows its own depth";
    EXPECT_EQ(patternDbB.maxDepth, 58);
    EXPECT_EQ(wdTable.recordCount, wdRecordTotal);

    int32_t maxDepth = 0;
    Board oneMove = goalBoard;
    applyMove(oneMove, 15, 14);
    EXPECT_EQ(WdPdb55Tables{}.lookup(oneMove, maxDepth), 1);

    Preparation another;
    EXPECT_FALSE(another.start(nullptr)) << "the program's databases exist";
    releasePatternDbs();
    EXPECT_EQ(patternDbA.entries, nullptr);
    EXPECT_EQ(patternDbB.entries, nullptr);
}

// Four threads for three tables: one thread more than tables, and the
// walking-distance thread joining too. The tables are those of the reference build.
TEST_F(StartUp, MoreThreadsThanTablesBuildTheSameTables) {
    Preparation preparation;
    preparation.setThreadLimit(4);
    Recorder recorder(preparation);
    ASSERT_TRUE(preparation.start(recorder.callback()));
    preparation.join();
    EXPECT_EQ(recorder.completions().size(), 3u) << "one callback per table";
    ASSERT_TRUE(preparation.allSucceeded());
    for (const bool isA : {true, false}) {
        std::vector<uint8_t> alone(static_cast<std::size_t>(patternStateCount));
        PatternDb db{alone.data(), 0};
        PatternBoard scratch = isA ? goalPatternA : goalPatternB;
        EXPECT_EQ(testing::referencePdbBuild(db, scratch),
                  isA ? solverState.maxDepthA : solverState.maxDepthB);
        EXPECT_EQ(std::memcmp(alone.data(), (isA ? patternDbA : patternDbB).entries, alone.size()),
                  0)
            << (isA ? "A" : "B");
    }
}

TEST_F(StartUp, AFailedBitsetIsReportedAsAFailedTable) {
    // The two tables are allocated on the starting thread first; every bitset fails.
    pdbAllocator = &limitedAllocator;
    allowedAllocations = 2;
    solverState.maxDepthA = -5;
    solverState.maxDepthB = -5;
    Preparation preparation;
    Recorder recorder(preparation);
    ASSERT_TRUE(preparation.start(recorder.callback()));
    preparation.join();

    EXPECT_EQ(recorder.completions().size(), 3u);
    for (const Completion& c : recorder.completions()) {
        if (c.table != PreparedTable::wdTable) {
            EXPECT_FALSE(c.succeeded);
        }
    }
    EXPECT_FALSE(preparation.succeeded(PreparedTable::patternDbA));
    EXPECT_FALSE(preparation.succeeded(PreparedTable::patternDbB));
    EXPECT_FALSE(preparation.allSucceeded());
    EXPECT_EQ(solverState.maxDepthA, -5) << "no depth stored for a failed build";
    EXPECT_EQ(solverState.maxDepthB, -5);
}

// A stop asked for before the start ends both database builds before their first
// layer; their callbacks still come, reporting failure, and no depth is stored.
TEST_F(StartUp, AStopEndsTheDatabaseBuildsAsFailed) {
    for (const int32_t limit : {2, 4}) {
        solverState.maxDepthA = -5;
        solverState.maxDepthB = -5;
        Preparation preparation;
        preparation.setThreadLimit(limit);
        Recorder recorder(preparation);
        preparation.requestStop();
        ASSERT_TRUE(preparation.start(recorder.callback()));
        preparation.join();
        ASSERT_EQ(recorder.completions().size(), 3u);
        EXPECT_FALSE(preparation.succeeded(PreparedTable::patternDbA));
        EXPECT_FALSE(preparation.succeeded(PreparedTable::patternDbB));
        EXPECT_TRUE(preparation.succeeded(PreparedTable::wdTable));
        EXPECT_EQ(solverState.maxDepthA, -5);
        EXPECT_EQ(solverState.maxDepthB, -5);
        releasePatternDbs();
    }
}

// A stop while the threads share the layers: every thread still ends, and the
// databases count as failed.
TEST_F(StartUp, AStopDuringTheBuildsEndsEveryThread) {
    solverState.maxDepthA = -5;
    solverState.maxDepthB = -5;
    Preparation preparation;
    preparation.setThreadLimit(4);
    std::atomic<int32_t> callbacks{0};
    ASSERT_TRUE(preparation.start([&](PreparedTable table) {
        ++callbacks;
        if (table == PreparedTable::wdTable) preparation.requestStop();
    }));
    preparation.join();
    EXPECT_EQ(callbacks.load(), 3);
    EXPECT_FALSE(preparation.succeeded(PreparedTable::patternDbA));
    EXPECT_FALSE(preparation.succeeded(PreparedTable::patternDbB));
    EXPECT_EQ(solverState.maxDepthA, -5);
    EXPECT_EQ(solverState.maxDepthB, -5);
}

using test_support::failingStarter;
using test_support::startsBeforeFailure;

// Whichever thread fails to start, the start reports it, runs no build and no
// callback, and leaves no database behind; a later start can succeed.
TEST_F(StartUp, AThreadThatCannotStartStartsNothing) {
    const PreparationThreadStarter previous = preparationThreadStarter;
    preparationThreadStarter = &failingStarter;
    // With a limit of four, a fourth thread (a helper) starts too.
    for (int32_t starts : {0, 1, 2, 3}) {
        startsBeforeFailure = starts;
        Preparation preparation;
        preparation.setThreadLimit(4);
        Recorder recorder(preparation);
        EXPECT_FALSE(preparation.start(recorder.callback())) << starts;
        EXPECT_TRUE(preparation.threadStartFailed());
        preparation.join();
        EXPECT_TRUE(recorder.completions().empty()) << starts;
        EXPECT_EQ(patternDbA.entries, nullptr);
        EXPECT_EQ(patternDbB.entries, nullptr);
    }
    preparationThreadStarter = previous;
    Preparation preparation;
    EXPECT_TRUE(preparation.start(nullptr));
    EXPECT_FALSE(preparation.threadStartFailed());
}

}  // namespace
}  // namespace fifteen
