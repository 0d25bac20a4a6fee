#include "tests/ui/ui_test_support.h"

#include "search/report.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_map>

namespace fifteen::ui::testing {

namespace {

bool adjacent(int a, int b) {
    const int dr = a / 4 - b / 4;
    const int dc = a % 4 - b % 4;
    return dr * dr + dc * dc == 1;
}

void reportProblem(const Board& board, std::string& text) {
    char cell[8];
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            std::snprintf(cell, sizeof cell, " %2d", board[static_cast<size_t>(4 * r + c)]);
            text += cell;
        }
        text += "\r\n";
    }
}

}  // namespace

std::optional<std::vector<int32_t>> shortestSolution(const Board& board, int maxDepth) {
    if (!isSolvable(board)) {
        return std::nullopt;
    }
    // parent key and the tile that moved into the child
    std::unordered_map<BoardKey, std::pair<BoardKey, int32_t>> seen;
    std::vector<BoardKey> level{packBoard(board)};
    seen[level[0]] = {0, 0};
    for (int depth = 0; depth <= maxDepth; ++depth) {
        std::vector<BoardKey> next;
        for (BoardKey key : level) {
            if (key == goalKey) {
                std::vector<int32_t> tiles;
                for (BoardKey k = key; k != packBoard(board); k = seen[k].first) {
                    tiles.insert(tiles.begin(), seen[k].second);
                }
                return tiles;
            }
            Board b;
            const int z = unpackBoard(key, b);
            for (int n = 0; n < 16; ++n) {
                if (!adjacent(z, n)) {
                    continue;
                }
                Board child = b;
                applyMove(child, z, n);
                const BoardKey childKey = packBoard(child);
                if (seen.emplace(childKey, std::make_pair(key, b[static_cast<size_t>(n)])).second) {
                    next.push_back(childKey);
                }
            }
        }
        level = std::move(next);
    }
    return std::nullopt;
}

void oracleSolve(const Board& board, SolveOutput& output) {
    SolveResult result;
    result.problem = board;
    std::string text;
    reportProblem(board, text);
    output.setOutputText(text.c_str());
    const auto tiles = shortestSolution(board);
    if (!tiles) {
        result.status = solveUnsolvable;
        output.setStatusText("UnSolvable");
        output.setSolutionAvailable(false);
        text += "UnSolvable.";
    } else {
        result.status = solveSolved;
        result.length = static_cast<int32_t>(tiles->size());
        std::copy(tiles->begin(), tiles->end(), result.moves.begin());
        output.setPlaybackPosition(0);
        output.setSolutionAvailable(result.length > 0);
        // The report's own result lines, its solution list included, and where
        // each move stands in the whole text.
        ReportText lines;
        std::vector<TextSpan> spans(static_cast<size_t>(result.length));
        appendSolution(lines, result.length, result.moves.data(), ElapsedTime{0, 0}, spans.data());
        const auto offset = static_cast<int32_t>(text.size());
        for (TextSpan& span : spans) span = TextSpan{span.begin + offset, span.end + offset};
        text += lines.c_str();
        output.setReportText(text.c_str(), spans.data(), result.length);
        output.solveFinished(result);
        return;
    }
    output.setOutputText(text.c_str());
    output.solveFinished(result);
}

void FakeServices::solveUntilCancelled(const Board& board, SolveOutput& output) {
    while (!cancelRequested.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    SolveResult result;
    result.problem = board;
    result.status = solveCancelled;
    output.setStatusText("Cancel");
    output.setSolutionAvailable(false);
    output.setOutputText("Cancel.");
    output.solveFinished(result);
}

bool FakeServices::startPreparation(TableCallback callback) {
    ++startCount;
    if (!allocationSucceeds) {
        return false;
    }
    onDone = std::move(callback);
    return true;
}

void FakeServices::finishFromThread(PreparedTable table, bool built) {
    ++buildersRunning;
    builders_.emplace_back([this, table, built] {
        onDone(table, built);
        --buildersRunning;
    });
}

void FakeServices::joinPreparation() {
    ++joinCount;
    for (std::thread& t : builders_) {
        t.join();
    }
    builders_.clear();
}

void FakeServices::releaseTables() {
    ++releaseCount;
    solveRunningAtRelease = solveRunning.load();
    buildersRunningAtRelease = buildersRunning.load() != 0;
}

void FakeServices::solve(const Board& shownBoard, SolveOutput& output) {
    solveRunning = true;
    job(shownBoard, output);
    solveRunning = false;
}

MoveAnalysis FakeServices::analyseMoves(const Board& board) {
    ++analysesStarted;
    MoveAnalysis analysis;
    analysis.board = board;
    while (!analysisGate.load() && !(analysisCancel.load() && !ignoreCancel.load())) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (analysisCancel.load() && !ignoreCancel.load()) {
        analysis.status = solveCancelled;
        return analysis;
    }
    const auto solution = shortestSolution(board);
    if (!solution) {
        analysis.status = solveUnsolvable;
        return analysis;
    }
    analysis.status = solveSolved;
    analysis.length = static_cast<int32_t>(solution->size());
    const int blank = static_cast<int>(std::find(board.begin(), board.end(), 0) - board.begin());
    for (const int cell : {blank - 4, blank + 1, blank + 4, blank - 1}) {
        if (cell < 0 || cell > 15 || !adjacent(blank, cell)) continue;
        Board after = board;
        std::swap(after[static_cast<size_t>(cell)], after[static_cast<size_t>(blank)]);
        MoveVerdict& v = analysis.moves[static_cast<size_t>(analysis.moveCount++)];
        v.tile = board[static_cast<size_t>(cell)];
        v.direction = directionOfMove(blank, cell);
        v.lengthAfter = static_cast<int32_t>(shortestSolution(after, 13)->size());
        v.optimal = v.lengthAfter == analysis.length - 1;
    }
    return analysis;
}

MoveReview FakeServices::reviewMoves(const Board& start, const std::vector<WrittenMove>& moves) {
    ++reviewsStarted;
    MoveReview review;
    review.start = start;
    const auto solution = shortestSolution(start);
    if (!solution) {
        review.status = solveUnsolvable;
        return review;
    }
    review.status = solveSolved;
    review.startLength = static_cast<int32_t>(solution->size());
    Board board = start;
    for (size_t i = 0; i < moves.size(); ++i) {
        const int blank =
            static_cast<int>(std::find(board.begin(), board.end(), 0) - board.begin());
        const int32_t cell = moveCell(board, blank, moves[i]);
        if (cell < 0) {
            review.illegalIndex = static_cast<int32_t>(i);
            break;
        }
        review.tiles.push_back(board[static_cast<size_t>(cell)]);
        std::swap(board[static_cast<size_t>(cell)], board[static_cast<size_t>(blank)]);
        review.distances.push_back(static_cast<int32_t>(shortestSolution(board, 16)->size()));
    }
    return review;
}

DeadlockGuard::DeadlockGuard(const char* what)
    : thread_([this, what] {
          std::unique_lock lock(mutex_);
          if (!done_.wait_for(lock, std::chrono::seconds(60), [&] { return finished_; })) {
              std::fprintf(stderr, "deadlock: %s\n", what);
              std::abort();
          }
      }) {}

DeadlockGuard::~DeadlockGuard() {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    done_.notify_all();
    thread_.join();
}

DialogRig::DialogRig() {
    host.open(dialog);
}

void DialogRig::makeReady() {
    host.message(msgPatternDbAReady);
    host.message(msgPatternDbBReady);
    host.message(msgWdTableReady);
}

Point cellCentre(const MainDialog& dialog, int cell) {
    const Rect board = dialog.view().rect();
    return Point{board.left + 64 * (cell % 4) + 32, board.top + 64 * (cell / 4) + 32};
}

void dragCell(HeadlessPlatform& host, const MainDialog& dialog, int fromCell, int toCell) {
    host.mouse(MouseEvent::leftDown, cellCentre(dialog, fromCell));
    host.mouse(MouseEvent::move, cellCentre(dialog, toCell));
    host.mouse(MouseEvent::leftUp, cellCentre(dialog, toCell));
}

void arrangeByDrags(HeadlessPlatform& host, const MainDialog& dialog, const Board& target) {
    for (int i = 0; i < 16; ++i) {
        const Board& now = dialog.view().board;
        int j = i;
        while (now[static_cast<size_t>(j)] != target[static_cast<size_t>(i)]) ++j;
        if (j == i) continue;
        // The blank cannot be lifted: drag its partner onto it instead.
        if (now[static_cast<size_t>(j)] != 0) {
            dragCell(host, dialog, j, i);
        } else {
            dragCell(host, dialog, i, j);
        }
    }
}

Point DialogRig::cellCentre(int cell) const {
    return testing::cellCentre(dialog, cell);
}

void DialogRig::clickCell(int cell) {
    host.mouse(MouseEvent::leftDown, cellCentre(cell));
    host.mouse(MouseEvent::leftUp, cellCentre(cell));
}

void DialogRig::drag(int fromCell, int toCell) {
    dragCell(host, dialog, fromCell, toCell);
}

void DialogRig::backwardClicks(const std::vector<int>& cells) {
    host.click(idBackward);
    for (int cell : cells) {
        clickCell(cell);
    }
}

void DialogRig::solveAndWait() {
    host.click(idSolve);
    host.pumpUntil([&] { return dialog.mode() != UiMode::solving; });
}

std::string DialogRig::buttons() const {
    const char letters[] = "SBDRXCT";
    std::string s;
    for (int id = idShuffle; id <= idTrace; ++id) {
        s += host.isControlEnabled(id) ? letters[id - idShuffle] : '-';
    }
    return s;
}

}  // namespace fifteen::ui::testing
