#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "puzzle/board.h"
#include "search/solve_job.h"

namespace fifteen::cli {

// One answered (or rejected) position, as the front end prints it.
struct SolveRecord {
    std::string origin;  // where the position came from, for messages
    std::string input;   // the text as given
    std::string status;  // "solved", "unsolvable", "cancelled", "invalid"
    std::string error;   // why the input is invalid
    std::string report;  // the output box, "\n" line ends
    int32_t length = -1;
    std::vector<int32_t> moves;  // tiles, first move first
    std::string directions;      // the same moves as U, D, L, R: where the tile slides
    int32_t wd = 0;
    int32_t pdb = 0;
    int32_t threads = 0;  // work items searched
    int32_t maxThreads = 0;
    uint64_t nodes = 0;
    uint64_t nodesBelowFinalBound = 0;
    int64_t ms = 0;
};

// What the solve job shows, kept for the record; tells the interrupt handling when
// the parallel search starts and ends.
class CapturedOutput : public SolveOutput {
  public:
    void setOutputText(const char* text) override { outputText = text; }
    void setStatusText(const char* text) override;
    void setSecondsText(const char* text) override;
    void setSolutionAvailable(bool available) override;
    void setPlaybackPosition(int32_t position) override;
    void solveFinished() override;

    std::string outputText;
    std::string statusText;
    bool finished = false;

  private:
    bool statusShown_ = false;
};

// Solves board with solverState (tables ready, maxThreads set) and fills the
// record from the job's output and the solver record.
SolveRecord solvePosition(const Board& board, std::string origin, std::string input);

}  // namespace fifteen::cli
