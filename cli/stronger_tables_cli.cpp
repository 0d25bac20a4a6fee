#include "cli/stronger_tables_cli.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <thread>

#include "cli/interrupt.h"
#include "cli/options.h"
#include "cli/output_writer.h"

namespace fifteen::cli {

namespace {

int buildThreads(int threads) {
    const int hardware = std::max(static_cast<int>(std::thread::hardware_concurrency()), 1);
    return threads > 0 ? std::min(threads, hardware) : hardware;
}

}  // namespace

TableCacheResult prepareStrongerTables(StrongerTables& tables, int threads, bool progress,
                                       std::string& path, bool mustStore) {
    std::string error;
    path = strongerTablesPath(error);
    TableCacheOptions options;
    options.threads = buildThreads(threads);
    options.stop = interruptFlagAddress();
    options.mustStore = mustStore;
    options.report = [](const std::string& line) {
        std::fprintf(stderr, "fifteen-solve: %s\n", line.c_str());
    };
    options.building = [threads = options.threads](const std::string& into) {
        std::fprintf(stderr,
                     "fifteen-solve: building the 7-8 tables on %d threads (once; minutes) "
                     "into %s\n",
                     threads, into.empty() ? "memory" : into.c_str());
    };
    options.progress = [&](std::size_t table, int32_t depth, int64_t reached) {
        if (progress) {
            const int size = table == 0 ? 7 : 8;
            std::fprintf(stderr,
                         "fifteen-solve: 7-8 tables: group of %d, layer %d, %lld of %lld placed "
                         "(%d%%)\n",
                         size, depth, static_cast<long long>(reached),
                         static_cast<long long>(groupEntryCount(size)),
                         static_cast<int>(reached * 100 / groupEntryCount(size)));
        }
    };
    if (path.empty()) {
        std::fprintf(stderr, "fifteen-solve: no folder for the 7-8 tables: %s%s\n", error.c_str(),
                     mustStore ? "" : "; building them in memory");
        if (mustStore) return TableCacheResult::failed;
    }
    return tables.prepare(path, options);
}

int buildStrongerTables(int threads, bool progress) {
    StrongerTables tables;
    std::string path;
    const TableCacheResult result = prepareStrongerTables(tables, threads, progress, path, true);
    if (result == TableCacheResult::stopped || interruptRequested()) return exitInterrupted;
    // A failure has been told in its line already.
    if (result == TableCacheResult::failed) return exitInternalFailure;
    std::error_code error;
    const std::uintmax_t bytes =
        std::filesystem::file_size(std::u8string(path.begin(), path.end()), error);
    if (error) {
        std::fprintf(stderr, "fifteen-solve: %s: %s\n", path.c_str(), error.message().c_str());
        return exitInternalFailure;
    }
    char size[32];
    std::snprintf(size, sizeof size, " (%.1f MB)\n", static_cast<double>(bytes) / 1e6);
    const std::string line =
        std::string("7-8 tables ") +
        (result == TableCacheResult::loaded ? "already stored in " : "stored in ") + path + size;
    return writeChecked(stdout, line) ? exitAnswered : exitInternalFailure;
}

}  // namespace fifteen::cli
