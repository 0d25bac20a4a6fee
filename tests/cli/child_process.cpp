// What the child process helpers share on every system.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>

#include "child_process.h"

namespace fifteen::cli::testing_support {

bool ChildProcess::waitForError(const std::string& text, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (errBuffer_.find(text) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || err_ < 0) return false;
        pump(static_cast<int>(left.count()));
    }
    return true;
}

bool ChildProcess::readLine(std::string& line, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::size_t end = outBuffer_.find('\n');
        if (end != std::string::npos) {
            line = outBuffer_.substr(0, end);
            outBuffer_.erase(0, end + 1);
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || out_ < 0) return false;
        pump(static_cast<int>(left.count()));
    }
}

std::string makeTemporaryFolder(const std::string& prefix) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (;;) {
        const std::string name =
            ::testing::TempDir() + prefix + std::to_string(random() % 1000000000);
        if (std::filesystem::create_directory(name)) return name;
    }
}

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& input,
                         bool terminal) {
    ChildProcess child(argv, 0, terminal);
    child.writeInput(input);
    return child.finish();
}

std::vector<nlohmann::json> jsonLines(const std::string& out) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) lines.push_back(nlohmann::json::parse(line));
    return lines;
}

Board boardOf(const std::string& text) {
    Board board{};
    std::istringstream in(text);
    for (int32_t& cell : board) in >> cell;
    return board;
}

}  // namespace fifteen::cli::testing_support
