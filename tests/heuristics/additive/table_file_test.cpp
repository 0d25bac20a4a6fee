#include "heuristics/additive/table_file.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "heuristics/additive/group_db_build.h"
#include "heuristics/additive/table_cache.h"

namespace fifteen {
namespace {

namespace fs = std::filesystem;

// Two reduced groups stand for the 7+8 split: the same code, a file of a few
// kilobytes.
const std::vector<TileGroup> groups = {{3, {1, 2, 3}}, {2, {12, 15}}};

std::vector<uint8_t> builtEntries(const TileGroup& group) {
    std::vector<uint8_t> entries(static_cast<std::size_t>(groupEntryCount(group.size)));
    EXPECT_GE(buildGroupDb(group, entries.data(), {}), 0);
    return entries;
}

// What a child process said (its report lines) and how it ended: body runs in
// the child, returns the exit code and fills the lines.
struct ChildEnd {
    int status = 0;
    std::string text;
};

ChildEnd inChild(const std::function<int(std::vector<std::string>& lines)>& body) {
    ChildEnd end;
    int report[2];
    if (pipe(report) != 0) return end;
    const pid_t child = fork();
    if (child == 0) {
        close(report[0]);
        std::vector<std::string> lines;
        const int code = body(lines);
        std::string text;
        for (const std::string& line : lines) text += line + "\n";
        const bool told =
            write(report[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        _exit(told ? code : 3);
    }
    close(report[1]);
    char buffer[512];
    for (ssize_t got; (got = read(report[0], buffer, sizeof buffer)) > 0;) {
        end.text.append(buffer, static_cast<std::size_t>(got));
    }
    close(report[0]);
    if (child < 0 || waitpid(child, &end.status, 0) != child) end.status = -1;
    return end;
}

// A temporary folder, also the process's cache and settings folder while the
// test runs.
class TableFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/fifteen-tables-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder_ = name;
        setenv("XDG_CACHE_HOME", folder_.c_str(), 1);
        setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
        path_ = folder_ + "/tables.bin";
        for (const TileGroup& g : groups) expected_.push_back(builtEntries(g));
    }
    void TearDown() override { fs::remove_all(folder_); }

    void writeValidFile(const std::string& path) {
        std::vector<TableToStore> tables;
        for (std::size_t k = 0; k < groups.size(); ++k) {
            tables.push_back({groups[k], expected_[k].data()});
        }
        std::string error;
        ASSERT_TRUE(writeTableFile(path, tables, error)) << error;
    }

    void expectEntries(const StoredTables& tables) {
        for (std::size_t k = 0; k < groups.size(); ++k) {
            for (std::size_t p = 0; p < expected_[k].size(); ++p) {
                ASSERT_EQ(tables.entries(k)[p], expected_[k][p]) << "table " << k;
            }
        }
    }

    // Builds counted by the progress calls of depth 0.
    TableCacheResult loadOrBuild(StoredTables& tables, std::vector<std::string>& lines,
                                 int32_t& builds, const std::atomic<bool>* stop = nullptr,
                                 bool mustStore = false) {
        TableCacheOptions options;
        options.stop = stop;
        options.mustStore = mustStore;
        options.report = [&](const std::string& line) { lines.push_back(line); };
        options.progress = [&](std::size_t table, int32_t depth, int64_t) {
            if (table == 0 && depth == 0) ++builds;
        };
        return loadOrBuildTables(path_, groups, tables, options);
    }

    std::string folder_;
    std::string path_;
    std::vector<std::vector<uint8_t>> expected_;
};

TEST_F(TableFileTest, WrittenTablesMapBackUnchanged) {
    writeValidFile(path_);
    StoredTables tables;
    ASSERT_EQ(tables.open(path_, groups), TableFileStatus::ok);
    EXPECT_TRUE(tables.fromFile());
    expectEntries(tables);
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
    // Another split, other sizes, other order: each is another file's content.
    StoredTables other;
    EXPECT_EQ(other.open(path_, {groups[1], groups[0]}), TableFileStatus::otherTables);
    EXPECT_EQ(other.open(path_, {{3, {1, 2, 4}}, groups[1]}), TableFileStatus::otherTables);
    EXPECT_EQ(other.open(path_, {groups[0]}), TableFileStatus::otherTables);
    EXPECT_TRUE(other.empty());
}

TEST_F(TableFileTest, AMissingFileIsBuiltSilentlyThenLoaded) {
    StoredTables tables;
    std::vector<std::string> lines;
    int32_t builds = 0;
    EXPECT_EQ(loadOrBuild(tables, lines, builds), TableCacheResult::built);
    EXPECT_EQ(builds, 1);
    EXPECT_TRUE(lines.empty());
    expectEntries(tables);
    StoredTables again;
    EXPECT_EQ(loadOrBuild(again, lines, builds), TableCacheResult::loaded);
    EXPECT_EQ(builds, 1);
    expectEntries(again);
}

// A damaged file: how it is damaged, and what open must say of it.
struct Damage {
    const char* name;
    std::size_t offset;  // the byte changed, or the size the file is cut to
    bool truncate;
    TableFileStatus status;
};

class DamagedTableFile : public TableFileTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedTableFile, IsReportedInOneLineAndRebuiltNeverUsed) {
    const Damage& damage = GetParam();
    writeValidFile(path_);
    if (damage.truncate) {
        fs::resize_file(path_, damage.offset);
    } else {
        std::fstream file(path_, std::ios::in | std::ios::out | std::ios::binary);
        file.seekg(static_cast<std::streamoff>(damage.offset));
        const int byte = file.get();
        file.seekp(static_cast<std::streamoff>(damage.offset));
        file.put(static_cast<char>(byte ^ 0x40));
    }
    StoredTables tables;
    EXPECT_EQ(tables.open(path_, groups), damage.status);
    EXPECT_TRUE(tables.empty());
    std::vector<std::string> lines;
    int32_t builds = 0;
    EXPECT_EQ(loadOrBuild(tables, lines, builds), TableCacheResult::built);
    EXPECT_EQ(builds, 1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(describeTableFileStatus(damage.status)), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(path_), std::string::npos) << lines[0];
    expectEntries(tables);
    StoredTables reread;
    EXPECT_EQ(reread.open(path_, groups), TableFileStatus::ok);
}

// The first payload starts at 4096, the second at 8192 (the 3-tile table has
// 3360 entries, the 2-tile one 240).
INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedTableFile,
    ::testing::Values(Damage{"Magic", 0, false, TableFileStatus::otherFormat},
                      Damage{"Version", 8, false, TableFileStatus::otherVersion},
                      Damage{"Split", 16, false, TableFileStatus::otherTables},
                      Damage{"FirstPayload", 4096 + 1234, false, TableFileStatus::corrupt},
                      Damage{"LastPayloadByte", 8192 + 239, false, TableFileStatus::corrupt},
                      Damage{"Checksum", 144, false, TableFileStatus::corrupt},
                      Damage{"CutInPayload", 8192 + 100, true, TableFileStatus::truncated},
                      Damage{"CutInHeader", 100, true, TableFileStatus::truncated},
                      Damage{"Empty", 0, true, TableFileStatus::otherFormat}),
    [](const ::testing::TestParamInfo<Damage>& param) { return std::string(param.param.name); });

TEST_F(TableFileTest, TheTemporaryFileIsNeverTrusted) {
    writeValidFile(path_);
    fs::rename(path_, path_ + ".tmp");
    StoredTables tables;
    EXPECT_EQ(tables.open(path_, groups), TableFileStatus::missing);
    std::vector<std::string> lines;
    int32_t builds = 0;
    EXPECT_EQ(loadOrBuild(tables, lines, builds), TableCacheResult::built);
    EXPECT_EQ(builds, 1);
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
    expectEntries(tables);
}

TEST_F(TableFileTest, AStopLeavesNothingBehind) {
    const std::atomic<bool> stop{true};
    StoredTables tables;
    std::vector<std::string> lines;
    int32_t builds = 0;
    EXPECT_EQ(loadOrBuild(tables, lines, builds, &stop), TableCacheResult::stopped);
    EXPECT_TRUE(tables.empty());
    EXPECT_FALSE(fs::exists(path_));
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
    // A write stopped half-way removes its temporary too.
    std::string error;
    EXPECT_FALSE(writeTableFile(path_, {{groups[0], expected_[0].data()}}, error, &stop));
    EXPECT_FALSE(fs::exists(path_));
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
}

TEST_F(TableFileTest, AnUnwritableFolderKeepsTheTablesInMemory) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    ASSERT_EQ(chmod(folder_.c_str(), 0500), 0);
    StoredTables tables;
    std::vector<std::string> lines;
    int32_t builds = 0;
    EXPECT_EQ(loadOrBuild(tables, lines, builds), TableCacheResult::built);
    chmod(folder_.c_str(), 0700);
    EXPECT_FALSE(tables.fromFile());
    EXPECT_EQ(lines.size(), 1u);
    expectEntries(tables);
}

// Two processes at once: one builds and writes, the other waits for the lock
// and maps what the first wrote. Each child tells by its exit code.
TEST_F(TableFileTest, TwoProcessesRacingBuildOnce) {
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    pid_t children[2];
    for (pid_t& child : children) {
        child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            char go = 0;
            if (read(gate[0], &go, 1) != 1) _exit(3);
            StoredTables tables;
            TableCacheOptions options;
            // A slow build, so that the other process surely finds the lock taken.
            options.progress = [](std::size_t, int32_t depth, int64_t) {
                if (depth == 0) std::this_thread::sleep_for(std::chrono::milliseconds(300));
            };
            const TableCacheResult result = loadOrBuildTables(path_, groups, tables, options);
            for (std::size_t k = 0; k < groups.size(); ++k) {
                if (std::vector<uint8_t>(tables.entries(k),
                                         tables.entries(k) + expected_[k].size()) != expected_[k]) {
                    _exit(4);
                }
            }
            _exit(result == TableCacheResult::built    ? 10
                  : result == TableCacheResult::loaded ? 11
                                                       : 5);
        }
    }
    ASSERT_EQ(write(gate[1], "gg", 2), 2);
    close(gate[0]);
    close(gate[1]);
    int codes[2] = {};
    for (int k = 0; k < 2; ++k) {
        int status = 0;
        ASSERT_EQ(waitpid(children[k], &status, 0), children[k]);
        ASSERT_TRUE(WIFEXITED(status));
        codes[k] = WEXITSTATUS(status);
    }
    EXPECT_EQ(codes[0] + codes[1], 21) << codes[0] << " " << codes[1];
    EXPECT_NE(codes[0], codes[1]);
}

// The tables read are this process's own: the file truncated, then rewritten in
// place with other bytes (what cp over it does), changes nothing read from it
// and faults nowhere.
TEST_F(TableFileTest, AFileTruncatedOrRewrittenInPlaceLeavesWhatWasReadAlone) {
    writeValidFile(path_);
    StoredTables tables;
    ASSERT_EQ(tables.open(path_, groups), TableFileStatus::ok);
    const auto size = fs::file_size(path_);
    fs::resize_file(path_, 0);
    expectEntries(tables);
    {
        std::ofstream over(path_, std::ios::binary | std::ios::trunc);
        over << std::string(size, '\x7f');
    }
    ASSERT_EQ(fs::file_size(path_), size);
    expectEntries(tables);
    StoredTables again;
    EXPECT_EQ(again.open(path_, groups), TableFileStatus::otherFormat);
}

// Not a regular file at the path: refused at once (a FIFO's open would wait for
// a writer, here in a child that an alarm ends), named in the one line, the
// tables built in memory, and the thing left where it was. With mustStore the
// same is a failure, and nothing is built.
class NotARegularFile : public TableFileTest, public ::testing::WithParamInterface<const char*> {
  protected:
    // The thing at path_ (or at its lock), and whether it is still there.
    void make() {
        const std::string kind = GetParam();
        const std::string at = kind == "fifoLock" ? path_ + ".lock" : path_;
        if (kind == "folder") {
            ASSERT_TRUE(fs::create_directory(at));
        } else {
            ASSERT_EQ(mkfifo(at.c_str(), 0644), 0);
        }
        at_ = at;
    }
    bool stillThere() const {
        const fs::file_status status = fs::symlink_status(at_);
        return std::string(GetParam()) == "folder" ? fs::is_directory(status) : fs::is_fifo(status);
    }
    std::string at_;
};

TEST_P(NotARegularFile, IsRefusedWithoutBlockingAndLeftAsItIs) {
    ASSERT_NO_FATAL_FAILURE(make());
    for (const bool mustStore : {false, true}) {
        SCOPED_TRACE(mustStore ? "mustStore" : "in memory");
        const ChildEnd end = inChild([&](std::vector<std::string>& lines) {
            alarm(60);  // a blocked open ends the child by SIGALRM
            StoredTables tables;
            int32_t builds = 0;
            const TableCacheResult result = loadOrBuild(tables, lines, builds, nullptr, mustStore);
            if (mustStore) return result == TableCacheResult::failed && builds == 0 ? 0 : 4;
            if (result != TableCacheResult::built || tables.fromFile()) return 5;
            for (std::size_t k = 0; k < groups.size(); ++k) {
                if (std::vector<uint8_t>(tables.entries(k),
                                         tables.entries(k) + expected_[k].size()) != expected_[k]) {
                    return 6;
                }
            }
            return 0;
        });
        const std::string& text = end.text;
        ASSERT_TRUE(WIFEXITED(end.status)) << "signal " << WTERMSIG(end.status) << "\n" << text;
        EXPECT_EQ(WEXITSTATUS(end.status), 0) << text;
        // One line, naming the path the caller gave, never the temporary.
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        EXPECT_NE(text.find(at_ + (at_ == path_ ? " is not a regular file" : " cannot be taken")),
                  std::string::npos)
            << text;
        EXPECT_EQ(text.find(".tmp"), std::string::npos) << text;
        EXPECT_TRUE(stillThere());
        EXPECT_FALSE(fs::exists(path_ + ".tmp"));
    }
}

INSTANTIATE_TEST_SUITE_P(Things, NotARegularFile, ::testing::Values("fifo", "folder", "fifoLock"));

// A wait for another builder's lock ends when the stop is set, with the tables
// neither built nor read; the wait was announced first. Should the stop be
// missed, the holder lets the lock go after a while so that the test ends.
TEST_F(TableFileTest, AStopEndsTheWaitForAnotherBuilder) {
    auto holder = std::make_unique<TableFileLock>(path_ + ".lock");
    ASSERT_TRUE(holder->locked());
    std::atomic<bool> stop{false};
    std::atomic<bool> announced{false};
    std::vector<std::string> lines;
    int32_t builds = 0;
    TableCacheResult result = TableCacheResult::failed;
    std::thread waiter([&] {
        StoredTables tables;
        TableCacheOptions options;
        options.stop = &stop;
        options.report = [&](const std::string& line) {
            lines.push_back(line);
            announced.store(true);
        };
        options.progress = [&](std::size_t, int32_t depth, int64_t) { builds += depth == 0; };
        result = loadOrBuildTables(path_, groups, tables, options);
    });
    for (int k = 0; k < 600 && !announced.load(); ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    stop.store(true);
    std::atomic<bool> ended{false};
    std::thread guard([&] {
        for (int k = 0; k < 600 && !ended.load(); ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!ended.load()) holder.reset();
    });
    waiter.join();
    const bool heldThroughout = holder != nullptr;
    ended.store(true);
    guard.join();
    EXPECT_TRUE(heldThroughout) << "the wait ended only with the other's lock";
    EXPECT_EQ(result, TableCacheResult::stopped);
    EXPECT_EQ(builds, 0);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("waiting"), std::string::npos) << lines[0];
    EXPECT_FALSE(fs::exists(path_));
}

// No path (no folder for the file): built for this process, nothing written,
// nothing said; with mustStore a failure without a build.
TEST_F(TableFileTest, NoPathBuildsInMemoryOnly) {
    StoredTables tables;
    std::vector<std::string> lines;
    int32_t builds = 0;
    TableCacheOptions options;
    options.report = [&](const std::string& line) { lines.push_back(line); };
    options.progress = [&](std::size_t table, int32_t depth, int64_t) {
        builds += table == 0 && depth == 0;
    };
    EXPECT_EQ(loadOrBuildTables("", groups, tables, options), TableCacheResult::built);
    EXPECT_EQ(builds, 1);
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(tables.fromFile());
    expectEntries(tables);
    EXPECT_TRUE(fs::is_empty(folder_));
    options.mustStore = true;
    StoredTables none;
    EXPECT_EQ(loadOrBuildTables("", groups, none, options), TableCacheResult::failed);
    EXPECT_EQ(builds, 1);
    EXPECT_TRUE(none.empty());
}

// A write that runs into the file size limit (as into a full disk): one line
// naming the table file and the reason, no file and no temporary left, and the
// tables kept in memory (or, with mustStore, a failure). In a child: the limit
// is the process's.
TEST_F(TableFileTest, AFullDiskLeavesNoFileAndSaysSoInOneLine) {
    for (const bool mustStore : {false, true}) {
        SCOPED_TRACE(mustStore ? "mustStore" : "in memory");
        const ChildEnd end = inChild([&](std::vector<std::string>& lines) {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{6000, 6000};  // inside the first payload
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
            StoredTables tables;
            int32_t builds = 0;
            const TableCacheResult result = loadOrBuild(tables, lines, builds, nullptr, mustStore);
            if (mustStore) return result == TableCacheResult::failed && tables.empty() ? 0 : 4;
            return result == TableCacheResult::built && !tables.fromFile() ? 0 : 5;
        });
        const std::string& text = end.text;
        ASSERT_TRUE(WIFEXITED(end.status)) << "signal " << WTERMSIG(end.status) << "\n" << text;
        EXPECT_EQ(WEXITSTATUS(end.status), 0) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        EXPECT_NE(text.find(path_ + ": " + std::strerror(EFBIG)), std::string::npos) << text;
        EXPECT_FALSE(fs::exists(path_));
        EXPECT_FALSE(fs::exists(path_ + ".tmp"));
    }
}

TEST_F(TableFileTest, TheCacheFolderFollowsXdgCacheHome) {
    std::string error;
    EXPECT_EQ(tableCacheDirectory(error), folder_ + "/fifteen");
    EXPECT_TRUE(fs::is_directory(folder_ + "/fifteen"));
    setenv("XDG_CACHE_HOME", "", 1);
    setenv("HOME", (folder_ + "/home").c_str(), 1);
    EXPECT_EQ(tableCacheDirectory(error), folder_ + "/home/.cache/fifteen");
    EXPECT_TRUE(fs::is_directory(folder_ + "/home/.cache/fifteen"));
}

TEST(TableChecksum, EveryChangedByteChangesIt) {
    std::vector<uint8_t> data(1000);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + 3);
    const uint64_t sum = tableChecksum(data.data(), data.size(), 0);
    for (std::size_t i = 0; i < data.size(); i += 37) {
        data[i] ^= 1;
        EXPECT_NE(tableChecksum(data.data(), data.size(), 0), sum) << "byte " << i;
        data[i] ^= 1;
    }
    EXPECT_NE(tableChecksum(data.data(), data.size() - 1, 0), sum);
    EXPECT_NE(tableChecksum(data.data(), data.size(), 1), sum);
}

}  // namespace
}  // namespace fifteen
