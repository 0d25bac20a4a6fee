// The file calls behind table_file.h, on whichever system the tests run: a table
// file is the same bytes on every system, the builders' lock, a rewrite under a
// reader, the cache folder, the build's zeroed pages.
#include "heuristics/additive/file_system.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "heuristics/additive/group_db_build.h"
#include "heuristics/additive/table_file.h"

namespace fifteen {
namespace {

namespace fs = std::filesystem;

const std::vector<TileGroup> groups = {{3, {1, 2, 3}}, {2, {12, 15}}};
// Written by the Linux build from these groups; every system must write the same.
const std::string storedFile =
    std::string(FIFTEEN_SOURCE_DIR) + "/tests/heuristics/additive/data/tables-123-1215.bin";

std::vector<uint8_t> builtEntries(const TileGroup& group) {
    std::vector<uint8_t> entries(static_cast<std::size_t>(groupEntryCount(group.size)));
    EXPECT_GE(buildGroupDb(group, entries.data(), {}), 0);
    return entries;
}

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// putenv keeps the string it is given on POSIX systems: each is kept for good.
void setVariable(const std::string& name, const std::string& value) {
    static std::deque<std::string> kept;
    kept.push_back(name + "=" + value);
    putenv(kept.back().data());
}

class FileSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device seed;
        do {
            folder_ =
                (fs::temp_directory_path() / ("fifteen-files-" + std::to_string(seed()))).string();
        } while (!fs::create_directory(folder_));
        path_ = folder_ + pathSeparator + "tables.bin";
        for (const TileGroup& group : groups) entries_.push_back(builtEntries(group));
    }
    void TearDown() override { fs::remove_all(folder_); }

    bool write(const std::vector<std::vector<uint8_t>>& entries, std::string& error) {
        std::vector<TableToStore> tables;
        for (std::size_t k = 0; k < groups.size(); ++k)
            tables.push_back({groups[k], entries[k].data()});
        return writeTableFile(path_, tables, error);
    }
    static bool holds(const StoredTables& tables,
                      const std::vector<std::vector<uint8_t>>& entries) {
        for (std::size_t k = 0; k < entries.size(); ++k) {
            if (!std::equal(entries[k].begin(), entries[k].end(), tables.entries(k))) return false;
        }
        return true;
    }

    std::string folder_;
    std::string path_;
    std::vector<std::vector<uint8_t>> entries_;
};

TEST_F(FileSystemTest, TheFileWrittenOnLinuxIsTheFileWrittenHereAndMapsBack) {
    std::string error;
    ASSERT_TRUE(write(entries_, error)) << error;
    const std::string stored = contents(storedFile);
    ASSERT_GT(stored.size(), 8192u) << storedFile;
    EXPECT_TRUE(contents(path_) == stored) << "this system writes other bytes than Linux";
    StoredTables tables;
    ASSERT_EQ(tables.open(storedFile, groups), TableFileStatus::ok);
    EXPECT_TRUE(tables.fromFile());
    EXPECT_TRUE(holds(tables, entries_));
}

TEST_F(FileSystemTest, ASecondLockWaitsUntilTheFirstIsReleased) {
    const std::string lockPath = path_ + ".lock";
    auto first = std::make_unique<TableFileLock>(lockPath);
    ASSERT_TRUE(first->locked());
    std::atomic<bool> taken{false};
    bool waited = false;
    std::thread other([&] {
        const TableFileLock second(lockPath, &waited);
        taken.store(second.locked());
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(taken.load()) << "two holders of the lock at once";
    first.reset();
    other.join();
    EXPECT_TRUE(taken.load());
    EXPECT_TRUE(waited);
}

// A reader keeps what it mapped. Where the system lets a mapped file be replaced,
// the new file is whole; where it does not (Windows), the write fails and the old
// file stays whole. Either way no temporary is left.
TEST_F(FileSystemTest, ARewriteNeverChangesWhatAReaderHasMapped) {
    std::string error;
    ASSERT_TRUE(write(entries_, error)) << error;
    StoredTables reader;
    ASSERT_EQ(reader.open(path_, groups), TableFileStatus::ok);
    std::vector<std::vector<uint8_t>> changed = entries_;
    for (auto& table : changed) {
        for (uint8_t& entry : table) entry = static_cast<uint8_t>(entry + 1);
    }
    const bool replaced = write(changed, error);
    EXPECT_TRUE(holds(reader, entries_));
    StoredTables again;
    ASSERT_EQ(again.open(path_, groups), TableFileStatus::ok);
    EXPECT_TRUE(holds(again, replaced ? changed : entries_)) << (replaced ? "replaced" : error);
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
}

TEST_F(FileSystemTest, TheCacheFolderIsMadeWhereTheSystemKeepsCaches) {
    std::optional<std::string> before[2];
    const char* names[2] = {"XDG_CACHE_HOME", "LOCALAPPDATA"};
    for (int k = 0; k < 2; ++k) {
        if (const char* value = std::getenv(names[k])) before[k] = value;
        setVariable(names[k], folder_);
    }
    std::string error;
    const std::string folder = tableCacheDirectory(error);
    for (int k = 0; k < 2; ++k) setVariable(names[k], before[k].value_or(""));
    EXPECT_EQ(folder, folder_ + pathSeparator + "fifteen") << error;
    EXPECT_TRUE(fs::is_directory(folder_ + "/fifteen"));
}

TEST(ZeroedPages, AreZeroWritableAndReleased) {
    const std::size_t bytes = std::size_t{256} << 20;
    for (int round = 0; round < 8; ++round) {  // 2 GB in all: released each time
        auto* pages = static_cast<uint8_t*>(allocateZeroedPages(bytes));
        ASSERT_NE(pages, nullptr);
        for (std::size_t at = 0; at < bytes; at += bytes / 64 + 4093) {
            ASSERT_EQ(pages[at], 0) << at;
            pages[at] = 1;
        }
        EXPECT_EQ(pages[bytes - 1], 0);
        releaseZeroedPages(pages, bytes);
    }
}

}  // namespace
}  // namespace fifteen
