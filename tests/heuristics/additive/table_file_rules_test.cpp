// Two rules of the table file on disk: its bytes reach the disk before the name
// does (flushed, then renamed), and the cache folder follows XDG_CACHE_HOME only
// when that is an absolute path.
//
// The order of the system calls is seen by this binary's own fsync and rename,
// which note each call and pass it on to the C library's.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "heuristics/additive/group_db_build.h"
#include "heuristics/additive/table_file.h"
#include "search/stronger_tables.h"

namespace {

// Written by the test's own thread only (the writer runs on it).
bool noting = false;
std::vector<std::string> noted;

std::string pathOfDescriptor(int fd) {
    char link[PATH_MAX] = {};
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = readlink(proc.c_str(), link, sizeof link - 1);
    return n > 0 ? std::string(link, static_cast<std::size_t>(n)) : "?";
}

// The path written through fd, when it was opened for writing.
bool openForWriting(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && (flags & O_ACCMODE) != O_RDONLY;
}

}  // namespace

extern "C" int fsync(int fd) {
    using Fsync = int (*)(int);
    static const auto real = reinterpret_cast<Fsync>(dlsym(RTLD_NEXT, "fsync"));
    if (noting)
        noted.push_back((openForWriting(fd) ? "fsync " : "fsync-folder ") + pathOfDescriptor(fd));
    return real(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
    using Rename = int (*)(const char*, const char*);
    static const auto real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
    if (noting) noted.push_back(std::string("rename ") + from + " " + to);
    return real(from, to);
}

namespace fifteen {
namespace {

namespace fs = std::filesystem;

class TableFileRules : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/fifteen-rules-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder_ = fs::canonical(name).string();
        for (const char* variable : {"XDG_CACHE_HOME", "XDG_CONFIG_HOME", "HOME"}) {
            const char* before = std::getenv(variable);
            saved_.push_back({variable, before != nullptr, before != nullptr ? before : ""});
            setenv(variable, folder_.c_str(), 1);
        }
    }
    void TearDown() override {
        noting = false;
        for (const Saved& s : saved_) {
            if (s.set) {
                setenv(s.name.c_str(), s.value.c_str(), 1);
            } else {
                unsetenv(s.name.c_str());
            }
        }
        fs::remove_all(folder_);
    }

    struct Saved {
        std::string name;
        bool set;
        std::string value;
    };
    std::string folder_;
    std::vector<Saved> saved_;
};

// The temporary file is flushed while it still has its temporary name, and only
// then renamed over the final one.
TEST_F(TableFileRules, TheFileIsFlushedBeforeItIsRenamed) {
    const TileGroup group{3, {1, 2, 3}};
    std::vector<uint8_t> entries(static_cast<std::size_t>(groupEntryCount(group.size)));
    ASSERT_GE(buildGroupDb(group, entries.data(), {}), 0);
    const std::string path = folder_ + "/tables.bin";
    std::string error;
    noted.clear();
    noting = true;
    ASSERT_TRUE(writeTableFile(path, {{group, entries.data()}}, error)) << error;
    noting = false;

    const std::string flushed = "fsync " + path + ".tmp";
    const std::string renamed = "rename " + path + ".tmp " + path;
    std::size_t flush = noted.size();
    std::size_t rename = noted.size();
    for (std::size_t i = 0; i < noted.size(); ++i) {
        if (noted[i] == flushed && flush == noted.size()) flush = i;
        if (noted[i] == renamed) rename = i;
    }
    std::string calls;
    for (const std::string& call : noted) calls += call + "\n";
    ASSERT_LT(rename, noted.size()) << calls;
    EXPECT_LT(flush, rename) << calls;
    // And the whole file was there to flush: it maps back as written.
    StoredTables stored;
    ASSERT_EQ(stored.open(path, {group}), TableFileStatus::ok);
    EXPECT_EQ(std::vector<uint8_t>(stored.entries(0), stored.entries(0) + entries.size()), entries);
}

// A relative XDG_CACHE_HOME is not a cache folder (the XDG rule: ignore it); the
// folder is then $HOME/.cache/fifteen, and nothing is made where the relative
// path points from the working folder.
TEST_F(TableFileRules, ARelativeXdgCacheHomeIsIgnored) {
    const fs::path working = fs::current_path();
    fs::create_directories(folder_ + "/work");
    fs::current_path(folder_ + "/work");
    setenv("HOME", (folder_ + "/home").c_str(), 1);
    for (const char* relative : {"cache", "./cache", "cache/deeper", "~/cache"}) {
        SCOPED_TRACE(relative);
        setenv("XDG_CACHE_HOME", relative, 1);
        std::string error;
        EXPECT_EQ(tableCacheDirectory(error), folder_ + "/home/.cache/fifteen") << error;
        EXPECT_EQ(strongerTablesPath(error), folder_ + "/home/.cache/fifteen/tables-7-8.bin")
            << error;
    }
    EXPECT_TRUE(fs::is_empty(folder_ + "/work"));
    fs::current_path(working);
    // An absolute one is taken as it is.
    setenv("XDG_CACHE_HOME", (folder_ + "/absolute").c_str(), 1);
    std::string error;
    EXPECT_EQ(tableCacheDirectory(error), folder_ + "/absolute/fifteen");
}

}  // namespace
}  // namespace fifteen
