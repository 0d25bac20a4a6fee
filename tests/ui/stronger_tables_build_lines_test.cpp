// The lines the dialog shows while the 7+8 tables are built: the program's own
// source over an empty cache folder, stopped after its first layers (the whole
// build takes minutes). The set builds its groups in the order it stores them,
// the 7-tile group first, and each line names the group it counts.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "heuristics/additive/tile_group.h"
#include "search/stronger_tables.h"
#include "ui/stronger_tables_control.h"

namespace fifteen::ui {
namespace {

namespace fs = std::filesystem;

TEST(StrongerTablesBuildLines, NameTheGroupBeingBuiltAndItsLayers) {
    std::string folder = ::testing::TempDir() + "fifteen_ui_tables_XXXXXX";
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    for (const char* variable : {"XDG_CACHE_HOME", "XDG_CONFIG_HOME"}) {
        const char* before = std::getenv(variable);
        saved.emplace_back(variable, before ? std::optional<std::string>(before) : std::nullopt);
        setenv(variable, folder.c_str(), 1);
    }
    std::string error;
    const std::string path = strongerTablesPath(error);

    // Stopped once the third layer's line has come.
    std::atomic<bool> stop{false};
    std::vector<std::string> lines;
    std::vector<std::string> layerLines;
    ProgramStrongerTables source;
    const TableSet* set = source.prepare(stop, [&](const std::string& line) {
        lines.push_back(line);
        if (line.find("layer") != std::string::npos) layerLines.push_back(line);
        if (layerLines.size() == 3) stop.store(true, std::memory_order_relaxed);
    });
    EXPECT_EQ(set, nullptr);
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    SCOPED_TRACE(all);
    ASSERT_EQ(layerLines.size(), 3u);
    EXPECT_NE(all.find(path), std::string::npos);
    const std::string group = "group of " + std::to_string(groupOf7.size) + ": ";
    for (std::size_t k = 0; k < layerLines.size(); ++k) {
        EXPECT_NE(layerLines[k].find(group + "layer " + std::to_string(k) + ","), std::string::npos)
            << layerLines[k];
    }
    // A stopped build leaves no file behind.
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(fs::exists(path + ".tmp"));

    for (const auto& [variable, value] : saved) {
        if (value) {
            setenv(variable.c_str(), value->c_str(), 1);
        } else {
            unsetenv(variable.c_str());
        }
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace fifteen::ui
