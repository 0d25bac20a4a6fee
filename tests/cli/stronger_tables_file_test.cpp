// The 7+8 tables as the program wires them, without their build: a cache file of
// the full size, every entry zero but a few planted ones, written sparsely (a few
// pages on disk) and read through the program's own loading, by the built
// fifteen-solve and by the table set in this process.
//
// A planted entry is the Manhattan distance of its group's tiles on the placement
// of its rank: a bound for every board with that placement, so the solver's
// answers stay optimal, and the bound of a board is known in advance: the larger
// of the sums its two lookups (the board's and its reflection's) find.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "child_process.h"
#include "heuristics/additive/table_file.h"
#include "heuristics/additive/tile_group.h"
#include "heuristics/wd/wd_table.h"
#include "search/stronger_tables.h"
#include "search/table_set.h"
#include "tests/support/distances.h"
#include "tests/support/positions.h"
#include "tests/support/walks.h"

namespace fifteen::cli {
namespace {

namespace fs = std::filesystem;
using testing_support::ChildProcess;
using testing_support::jsonLines;
using testing_support::ProcessResult;
using testing_support::runProcess;

// The file's header as table_file.h draws it.
struct HeaderTable {
    int8_t tiles[8];
    uint32_t size;
    uint32_t zero;
    uint64_t entryCount;
    uint64_t offset;
};
struct Header {
    char magic[8];
    uint32_t version;
    uint32_t tableCount;
    HeaderTable tables[4];
    uint64_t checksum;
};
static_assert(sizeof(Header) == 152);

constexpr uint64_t pageBytes = 4096;

// Zero-filled memory of its own that costs nothing until written.
class ZeroBlock {
  public:
    explicit ZeroBlock(std::size_t bytes) : bytes_(bytes) {
        void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        data_ = p == MAP_FAILED ? nullptr : static_cast<uint8_t*>(p);
    }
    ~ZeroBlock() {
        if (data_ != nullptr) munmap(data_, bytes_);
    }
    ZeroBlock(const ZeroBlock&) = delete;
    ZeroBlock& operator=(const ZeroBlock&) = delete;
    uint8_t* data() const { return data_; }

  private:
    std::size_t bytes_;
    uint8_t* data_;
};

// The board reflected in the main diagonal, built cell by cell.
Board reflected(const Board& board) {
    Board out{};
    for (std::size_t c = 0; c < 16; ++c) {
        out[transposedCell[c]] = transposedTile[static_cast<std::size_t>(board[c])];
    }
    return out;
}

// The cells the group's tiles stand on, in the group's order, and their rank.
uint32_t rankOf(const Board& board, const TileGroup& group) {
    uint8_t cells[maxGroupSize] = {};
    for (int32_t i = 0; i < group.size; ++i) {
        for (std::size_t c = 0; c < 16; ++c) {
            if (board[c] == group.tiles[static_cast<std::size_t>(i)]) {
                cells[i] = static_cast<uint8_t>(c);
            }
        }
    }
    return rankGroupCells(cells, group.size);
}

int32_t manhattan(const Board& board, const TileGroup& group) {
    int32_t sum = 0;
    for (int32_t i = 0; i < group.size; ++i) {
        const int32_t tile = group.tiles[static_cast<std::size_t>(i)];
        for (int32_t c = 0; c < 16; ++c) {
            if (board[static_cast<std::size_t>(c)] != tile) continue;
            sum += std::abs(c / 4 - (tile - 1) / 4) + std::abs(c % 4 - (tile - 1) % 4);
        }
    }
    return sum;
}

// Positions of known distance (breadth-first), each with the entries planted for
// it: its 7-group's entry read directly, its 8-group's through its reflection,
// so that a lookup of the wrong table, or of the wrong board, finds another sum.
class StrongerTablesFile : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        distances_ = new std::unordered_map<BoardKey, int32_t>(test_support::positionsWithin(12));
    }
    static void TearDownTestSuite() {
        delete distances_;
        distances_ = nullptr;
    }

    void SetUp() override {
        std::string name = ::testing::TempDir() + "fifteen_tables78_XXXXXX";
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        folder_ = name;
        for (const char* variable : {"XDG_CACHE_HOME", "XDG_CONFIG_HOME"}) {
            const char* before = std::getenv(variable);
            saved_.emplace_back(variable,
                                before ? std::optional<std::string>(before) : std::nullopt);
            setenv(variable, folder_.c_str(), 1);
        }
        std::string error;
        path_ = strongerTablesPath(error);
        ASSERT_EQ(path_, folder_ + "/fifteen/tables-7-8.bin") << error;

        std::mt19937 random(78);
        while (positions_.size() < 8) {
            const Board board = test_support::randomWalkFromGoal(
                random, static_cast<int32_t>(8 + 2 * (random() % 3)));
            const int32_t distance = distances_->at(packBoard(board));
            positions_.push_back({board, distance});
            planted7_[rankOf(board, groupOf7)] = static_cast<uint8_t>(manhattan(board, groupOf7));
            const Board mirror = reflected(board);
            planted8_[rankOf(mirror, groupOf8)] = static_cast<uint8_t>(manhattan(mirror, groupOf8));
        }
        ASSERT_NO_FATAL_FAILURE(writeSparseFile());
    }

    void TearDown() override {
        for (const auto& [variable, value] : saved_) {
            if (value) {
                setenv(variable.c_str(), value->c_str(), 1);
            } else {
                unsetenv(variable.c_str());
            }
        }
        fs::remove_all(folder_);
    }

    uint8_t entry7(const Board& board) const {
        const auto it = planted7_.find(rankOf(board, groupOf7));
        return it == planted7_.end() ? 0 : it->second;
    }
    uint8_t entry8(const Board& board) const {
        const auto it = planted8_.find(rankOf(board, groupOf8));
        return it == planted8_.end() ? 0 : it->second;
    }
    // The set's bound by its definition: the larger of the sums of the board
    // and of its reflection.
    int32_t expectedBound(const Board& board) const {
        const Board mirror = reflected(board);
        return std::max(entry7(board) + entry8(board), entry7(mirror) + entry8(mirror));
    }

    // The header the format describes, the planted entries at their ranks, the
    // rest a hole; the checksum over the whole payloads as they read back.
    void writeSparseFile() {
        const TileGroup groups[2] = {groupOf7, groupOf8};
        const std::map<uint32_t, uint8_t>* planted[2] = {&planted7_, &planted8_};
        Header header{};
        std::memcpy(header.magic, "F15ADDTB", 8);
        header.version = tableFileVersion;
        header.tableCount = 2;
        uint64_t offset = pageBytes;
        for (std::size_t k = 0; k < 2; ++k) {
            HeaderTable& table = header.tables[k];
            std::memcpy(table.tiles, groups[k].tiles.data(), 8);
            table.size = static_cast<uint32_t>(groups[k].size);
            table.entryCount = static_cast<uint64_t>(groupEntryCount(groups[k].size));
            table.offset = offset;
            offset += (table.entryCount + pageBytes - 1) / pageBytes * pageBytes;
        }
        uint64_t checksum = tableChecksum(&header, sizeof header, 0);
        for (std::size_t k = 0; k < 2; ++k) {
            ZeroBlock block(header.tables[k].entryCount);
            ASSERT_NE(block.data(), nullptr);
            for (const auto& [rank, value] : *planted[k]) block.data()[rank] = value;
            checksum = tableChecksum(block.data(), header.tables[k].entryCount, checksum);
        }
        header.checksum = checksum;

        ASSERT_TRUE(fs::is_directory(folder_ + "/fifteen"));  // made by strongerTablesPath
        const int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_GE(fd, 0) << std::strerror(errno);
        size_ = header.tables[1].offset + header.tables[1].entryCount;
        bool ok = write(fd, &header, sizeof header) == static_cast<ssize_t>(sizeof header) &&
                  ftruncate(fd, static_cast<off_t>(size_)) == 0;
        for (std::size_t k = 0; ok && k < 2; ++k) {
            for (const auto& [rank, value] : *planted[k]) {
                ok = pwrite(fd, &value, 1, static_cast<off_t>(header.tables[k].offset + rank)) == 1;
            }
        }
        ASSERT_TRUE(ok) << std::strerror(errno);
        struct stat info {};
        ASSERT_EQ(fstat(fd, &info), 0);
        close(fd);
        // The premise of the test: the temporary folder keeps the holes.
        EXPECT_LT(static_cast<uint64_t>(info.st_blocks) * 512, uint64_t{64} << 20)
            << "the temporary folder's file system filled the holes of " << path_;
    }

    struct Position {
        Board board;
        int32_t distance;
    };

    static std::unordered_map<BoardKey, int32_t>* distances_;
    std::string folder_;
    std::string path_;
    uint64_t size_ = 0;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
    std::vector<Position> positions_;
    std::map<uint32_t, uint8_t> planted7_;
    std::map<uint32_t, uint8_t> planted8_;
};

std::unordered_map<BoardKey, int32_t>* StrongerTablesFile::distances_ = nullptr;

// The chosen positions' bounds differ between the right wiring and its likely
// slips (the other table, the other board), or the test would prove nothing.
TEST_F(StrongerTablesFile, ThePlantedEntriesTellTheLookupsApart) {
    int32_t mirrorLarger = 0;
    int32_t directLarger = 0;
    for (const Position& p : positions_) {
        const int32_t direct = entry7(p.board) + entry8(p.board);
        const int32_t mirrored = entry7(reflected(p.board)) + entry8(reflected(p.board));
        EXPECT_LE(expectedBound(p.board), p.distance);
        mirrorLarger += mirrored > direct ? 1 : 0;
        directLarger += direct > mirrored ? 1 : 0;
    }
    EXPECT_GT(mirrorLarger, 0);
    EXPECT_GT(directLarger, 0);
}

// --build-tables finds the file valid: nothing built, where and how large.
TEST_F(StrongerTablesFile, BuildTablesFindsTheFileAndSaysWhereAndHowLarge) {
    const ProcessResult result = runProcess({FIFTEEN_SOLVE_PATH, "--build-tables"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    char megabytes[32];
    std::snprintf(megabytes, sizeof megabytes, "%.1f", static_cast<double>(size_) / 1e6);
    EXPECT_EQ(result.out, "7-8 tables already stored in " + path_ + " (" + megabytes + " MB)\n");
    // Checked, not rewritten.
    EXPECT_EQ(fs::file_size(path_), size_);
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
}

// The built solver on the file: each start bound is the set's own, and every
// answer is the breadth-first distance and replays to the goal.
TEST_F(StrongerTablesFile, TheSolverStartsFromThePlantedBoundsAndAnswersOptimally) {
    std::vector<std::string> args = {FIFTEEN_SOLVE_PATH, "--tables", "7-8", "--format", "json",
                                     "--threads",        "2"};
    for (const Position& p : positions_) args.push_back(test_support::positionText(p.board));
    const ProcessResult result = runProcess(args);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err.find("building"), std::string::npos) << result.err;
    const auto lines = jsonLines(result.out);
    ASSERT_EQ(lines.size(), positions_.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Position& p = positions_[i];
        SCOPED_TRACE(test_support::positionText(p.board));
        EXPECT_EQ(lines[i].at("tables"), "7-8");
        EXPECT_EQ(lines[i].at("pdb"), expectedBound(p.board));
        ASSERT_EQ(lines[i].at("status"), "solved");
        EXPECT_EQ(lines[i].at("length"), p.distance);
        const auto moves = lines[i].at("moves").get<std::vector<int32_t>>();
        EXPECT_TRUE(test_support::replayReachesGoal(p.board, moves));
    }
}

// The same file through the table set in this process: the bound of the
// positions, of their reflections and of the goal.
TEST_F(StrongerTablesFile, TheLoadedSetBoundsEachBoardByItsPlantedEntries) {
    // The set's walking distance is the program's table, made at start-up.
    ASSERT_TRUE(wdTable.recordCount > 0 || buildWdTable(wdTable));
    StrongerTables tables;
    std::vector<std::string> lines;
    TableCacheOptions options;
    options.report = [&](const std::string& line) { lines.push_back(line); };
    bool built = false;
    options.progress = [&](std::size_t, int32_t, int64_t) { built = true; };
    ASSERT_EQ(tables.prepare(path_, options), TableCacheResult::loaded);
    EXPECT_FALSE(built);
    EXPECT_TRUE(lines.empty());
    ASSERT_NE(tables.tableSet(), nullptr);
    const TableSet& set = *tables.tableSet();
    for (const Position& p : positions_) {
        SCOPED_TRACE(test_support::positionText(p.board));
        EXPECT_EQ(set.boundsOf(p.board).pdb, expectedBound(p.board));
        EXPECT_EQ(set.boundsOf(reflected(p.board)).pdb, expectedBound(p.board));
    }
    EXPECT_EQ(set.boundsOf(goalBoard).pdb, expectedBound(goalBoard));
}

// The file cut to nothing, then overwritten in place with other bytes (as cp
// over it does), while a batch runs on it: each answer still comes, from the
// tables read at the start.
TEST_F(StrongerTablesFile, ABatchGoesOnWhenTheFileIsCutOrOverwrittenUnderIt) {
    ChildProcess child({FIFTEEN_SOLVE_PATH, "--tables", "7-8", "--format", "json"});
    for (std::size_t i = 0; i < positions_.size(); ++i) {
        const Position& p = positions_[i];
        SCOPED_TRACE(test_support::positionText(p.board));
        if (i == 2) fs::resize_file(path_, 0);
        if (i == 5) {
            std::ofstream over(path_, std::ios::binary | std::ios::trunc);
            over << std::string(std::size_t{1} << 16, '\x7f');
        }
        child.writeInput(test_support::positionText(p.board) + "\n");
        std::string line;
        ASSERT_TRUE(child.readLine(line, 120000)) << child.errorSoFar();
        const auto answer = nlohmann::json::parse(line);
        EXPECT_EQ(answer.at("pdb"), expectedBound(p.board));
        EXPECT_EQ(answer.at("length"), p.distance);
    }
    const ProcessResult result = child.finish();
    EXPECT_EQ(result.exitCode, 0) << "signal " << result.signal << ": " << result.err;
    EXPECT_EQ(result.err, "");
}

// Another process holds the builders' lock (the file is missing, so this one
// would build): Ctrl-C ends the wait at once with 130 and no answer. Should it
// not, the child is killed rather than left to wait.
TEST_F(StrongerTablesFile, CtrlCEndsTheWaitForAnotherBuilder) {
    ASSERT_TRUE(fs::remove(path_));
    const TableFileLock other(path_ + ".lock");
    ASSERT_TRUE(other.locked());
    ChildProcess child(
        {FIFTEEN_SOLVE_PATH, "--tables", "7-8", test_support::positionText(positions_[0].board)});
    ASSERT_TRUE(child.waitForError("waiting for it", 60000)) << child.errorSoFar();
    child.sendSignal(SIGINT);
    std::string line;
    EXPECT_FALSE(child.readLine(line, 30000)) << line;
    if (!child.outputEnded()) {
        child.sendSignal(SIGKILL);
        ADD_FAILURE() << "still waiting 30 s after Ctrl-C";
    }
    const ProcessResult result = child.finish();
    EXPECT_EQ(result.exitCode, 130) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.find("building the 7-8"), std::string::npos) << result.err;
}

// No folder can hold the file (XDG_CACHE_HOME under /proc, HOME unset): a solve
// says so and builds the tables in memory (stopped here by Ctrl-C once begun,
// the build being minutes), where --build-tables says so and fails at once.
TEST_F(StrongerTablesFile, NoCacheFolderBuildsInMemoryAndBuildTablesFails) {
    const char* home = std::getenv("HOME");
    saved_.emplace_back("HOME", home ? std::optional<std::string>(home) : std::nullopt);
    const std::string nowhere = "/proc/fifteen-no-such-folder";
    setenv("XDG_CACHE_HOME", nowhere.c_str(), 1);
    unsetenv("HOME");

    ChildProcess child(
        {FIFTEEN_SOLVE_PATH, "--tables", "7-8", test_support::positionText(positions_[0].board)});
    const bool building = child.waitForError("into memory", 60000);
    child.sendSignal(SIGINT);
    const ProcessResult solve = child.finish();
    EXPECT_TRUE(building) << solve.err;
    EXPECT_EQ(solve.exitCode, 130) << solve.err;
    EXPECT_NE(solve.err.find("no folder for the 7-8 tables: " + nowhere), std::string::npos)
        << solve.err;
    EXPECT_NE(solve.err.find("building them in memory"), std::string::npos) << solve.err;
    EXPECT_EQ(solve.err.find("internal failure"), std::string::npos) << solve.err;

    const ProcessResult build = runProcess({FIFTEEN_SOLVE_PATH, "--build-tables"});
    EXPECT_EQ(build.exitCode, 1) << build.err;
    EXPECT_EQ(build.out, "");
    EXPECT_EQ(std::count(build.err.begin(), build.err.end(), '\n'), 1) << build.err;
    EXPECT_NE(build.err.find("no folder for the 7-8 tables: " + nowhere), std::string::npos)
        << build.err;
}

// A FIFO at the table path: a solve is not held by it (it builds in memory,
// stopped here once begun) and --build-tables refuses it in one line; the FIFO
// stays.
TEST_F(StrongerTablesFile, AFifoAtThePathIsRefusedWithoutWaiting) {
    ASSERT_TRUE(fs::remove(path_));
    ASSERT_EQ(mkfifo(path_.c_str(), 0644), 0);
    const ProcessResult build = runProcess({FIFTEEN_SOLVE_PATH, "--build-tables"});
    EXPECT_EQ(build.exitCode, 1) << build.err;
    EXPECT_EQ(build.err, "fifteen-solve: " + path_ + " is not a regular file\n");

    ChildProcess child(
        {FIFTEEN_SOLVE_PATH, "--tables", "7-8", test_support::positionText(positions_[0].board)});
    const bool building = child.waitForError("into memory", 60000);
    child.sendSignal(SIGINT);
    const ProcessResult solve = child.finish();
    EXPECT_TRUE(building) << solve.err;
    EXPECT_EQ(solve.exitCode, 130) << solve.err;
    EXPECT_NE(solve.err.find(path_ + " is not a regular file; building the tables in memory"),
              std::string::npos)
        << solve.err;
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(path_)));
}

}  // namespace
}  // namespace fifteen::cli
