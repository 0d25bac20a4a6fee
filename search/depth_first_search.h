#pragma once

#include <array>
#include <atomic>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "heuristics/pdb/check_schedule.h"
#include "heuristics/wd/wd_eval.h"
#include "heuristics/wd/wd_table.h"
#include "puzzle/board.h"

namespace fifteen {

inline constexpr int32_t searchNotFound = 0;
inline constexpr int32_t searchFound = 1;
inline constexpr int32_t searchStopped = 4;

// What a search reads besides its arguments, and what it counts. One per worker;
// nothing in it is shared, so counting costs no more than an increment.
struct SearchContext {
    // The shared stop value: a search whose bound is not below it returns at once.
    const std::atomic<int32_t>* bestLength;
    uint64_t nodes;  // depthFirstSearch calls, counted on entry
};

// One bounded depth-first search over the table set tables, from the board (blank
// in cell blank), whose walking-distance records rowRecord and columnRecord are
// records of the set's table. Returns searchFound with path[depth ..] holding the
// moves to the goal, searchNotFound, or searchStopped when bound was not below
// *bestLength at some call. nextCheckDepth is the depth of the next child whose
// databases are looked up (neverCheckDepth: walking distance alone). The board is
// unchanged on return. Moves back into prevBlank are never generated (-1: every
// move).
template <class Tables>
int32_t depthFirstSearch(const Tables& tables, Board& board, int32_t blank, int32_t prevBlank,
                         const WdRecord& rowRecord, const WdRecord& columnRecord, int32_t depth,
                         int32_t bound, int32_t nextCheckDepth, int32_t* path,
                         SearchContext& context);

namespace dfs {

using SearchLink = WdPackedLink;

inline SearchLink linkOf(const WdTable& table, const WdRecord& record) {
    assert(&record >= table.records.data() && &record < table.records.data() + table.recordCount);
    return wdPackedLinkOf(table, record);
}

// One worker's search: what the recursion reads besides the links, at a fixed
// offset from one pointer. The board is the worker's own copy.
template <class Tables>
struct Worker {
    Board board;
    const Tables* tables;
    const std::atomic<int32_t>* bestLength;
    int32_t* path;
    int32_t bound;
    uint64_t nodes;
};

// Step 2.7 for a child at depth with walking distance wd: its database value,
// and the check depth rescheduled from it. A call of its own: inlined, the scan
// of the board and the schedule's loop would widen every search frame (more
// registers saved per node) for a step few nodes take.
template <class Tables>
[[gnu::noinline]] int32_t lookUpChild(const Worker<Tables>& w, int32_t depth, int32_t wd,
                                      int32_t& nextCheckDepth) {
    int32_t maxDepth = 0;
    const int32_t p = w.tables->lookup(w.board, maxDepth);
    nextCheckDepth = Tables::nextCheckDepth(depth, wd, p, maxDepth, w.bound);
    return p;
}

// The recursion is instantiated per (blank cell, previous blank cell), so the
// moves, their directions and the exclusion of the move back are known at compile
// time. Its steps, numbered in the code:
//   1    stop when bound is not below bestLength;
//   2    for each neighbour n of the blank, up, right, down, left, but prevBlank:
//   2.1  the tile t in n;  2.2 the child's record pair by one link;
//   2.3  its walking distance wd;  2.4 skip it when depth + 1 + wd > bound;
//   2.5  wd 0 is the goal: record t, found (the move is not made);
//   2.6  make the move;  2.7 at the scheduled depth, look up p and reschedule
//        (the new check depth also holds for the later children);
//   2.8  skip it when p > wd and depth + 1 + p > bound;  2.9 search it;
//   2.10 take the move back;  2.11 found: record t; stopped: unwind.
//   3    not found.
// searchWd is the same recursion below a node whose check depth is
// neverCheckDepth, which no depth of a search reaches: step 2.7 is left out, and
// the node is given by its limit, bound - depth - 1, alone, so that fewer values
// live across each call.
// A set may ask for a lookup at every node below the root (a member
// looksUpEveryNode that is true); step 2.7 then ignores the schedule. A
// compile-time choice: a set without the member compiles to the scheduled test
// alone.
template <class Tables>
constexpr bool looksUpEveryNode() {
    if constexpr (requires { Tables::looksUpEveryNode; }) {
        return Tables::looksUpEveryNode;
    } else {
        return false;
    }
}

template <class Tables, int Blank, int Prev>
int32_t search(Worker<Tables>& w, SearchLink row, SearchLink column, int32_t depth,
               int32_t nextCheckDepth);
template <class Tables, int Blank, int Prev>
int32_t searchWd(Worker<Tables>& w, SearchLink row, SearchLink column, int32_t limit);

// depth and nextCheckDepth are read only when Checks.
template <class Tables, int Blank, int N, bool Checks>
[[gnu::always_inline]] inline int32_t tryChild(Worker<Tables>& w, SearchLink row, SearchLink column,
                                               int32_t limit, int32_t depth,
                                               int32_t& nextCheckDepth) {
    constexpr auto blankCell = static_cast<std::size_t>(Blank);
    constexpr auto cell = static_cast<std::size_t>(N);
    // Where the move goes in the path; in searchWd worked out from the limit,
    // only when a solution is found.
    const auto pathSlot = [&] {
        if constexpr (Checks) {
            return static_cast<std::size_t>(depth);
        } else {
            return static_cast<std::size_t>(w.bound - 1 - limit);
        }
    };
    const int32_t t = w.board[cell];  // 2.1
    // 2.2: one link, chosen by the direction of the move.
    const WdPair child = wdStep<N - Blank>(Tables::wd(), WdPair{row, column}, t);
    row = child.row;
    column = child.column;
    const int32_t wd = wdValue(child);
    if (wd > limit) return searchNotFound;  // 2.4: depth + 1 + wd > bound
    if (wd == 0) {                          // 2.5
        w.path[pathSlot()] = t;
        return searchFound;
    }
    w.board[cell] = 0;  // 2.6
    w.board[blankCell] = t;
    int32_t r = searchNotFound;
    if constexpr (Checks) {
        int32_t p = 0;
        if (looksUpEveryNode<Tables>() || depth + 1 == nextCheckDepth) [[unlikely]] {  // 2.7
            p = lookUpChild(w, depth + 1, wd, nextCheckDepth);
        }
        // 2.8: with wd within the limit, p above the limit is also above wd.
        if (p <= limit) {  // 2.9
            r = nextCheckDepth == neverCheckDepth
                    ? searchWd<Tables, N, Blank>(w, row, column, limit - 1)
                    : search<Tables, N, Blank>(w, row, column, depth + 1, nextCheckDepth);
        }
    } else {
        r = searchWd<Tables, N, Blank>(w, row, column, limit - 1);  // 2.9
    }
    // 2.10: the child left t in the blank's cell; read back from there, t need
    // not be kept across the call.
    const int32_t moved = w.board[blankCell];
    w.board[blankCell] = 0;
    w.board[cell] = moved;
    if (r == searchFound) w.path[pathSlot()] = moved;  // 2.11
    return r;
}

template <class Tables, int Blank, int Prev, bool Checks, int K>
[[gnu::always_inline]] inline int32_t tryChildren(Worker<Tables>& w, SearchLink row,
                                                  SearchLink column, int32_t limit, int32_t depth,
                                                  int32_t& nextCheckDepth) {
    constexpr auto blankCell = static_cast<std::size_t>(Blank);
    if constexpr (K == neighborCount[blankCell]) {
        return searchNotFound;  // 3
    } else {
        constexpr int N = neighbors[blankCell][static_cast<std::size_t>(K)];
        if constexpr (N != Prev) {
            const int32_t r =
                tryChild<Tables, Blank, N, Checks>(w, row, column, limit, depth, nextCheckDepth);
            if (r != searchNotFound) return r;
        }
        return tryChildren<Tables, Blank, Prev, Checks, K + 1>(w, row, column, limit, depth,
                                                               nextCheckDepth);
    }
}

template <class Tables, int Blank, int Prev>
int32_t search(Worker<Tables>& w, SearchLink row, SearchLink column, int32_t depth,
               int32_t nextCheckDepth) {
    ++w.nodes;  // every call, before the stop test
    // 1: relaxed is enough; a stale value only delays the stop by a call.
    if (w.bound >= w.bestLength->load(std::memory_order_relaxed)) return searchStopped;
    return tryChildren<Tables, Blank, Prev, true, 0>(w, row, column, w.bound - depth - 1, depth,
                                                     nextCheckDepth);
}

template <class Tables, int Blank, int Prev>
int32_t searchWd(Worker<Tables>& w, SearchLink row, SearchLink column, int32_t limit) {
    ++w.nodes;  // as in search
    if (w.bound >= w.bestLength->load(std::memory_order_relaxed)) return searchStopped;
    int32_t unused = neverCheckDepth;
    return tryChildren<Tables, Blank, Prev, false, 0>(w, row, column, limit, 0, unused);
}

// Entry points by blank cell and the neighbour slot of the previous blank cell
// (slot 0: none excluded, slot k + 1: neighbour k excluded).
template <class Tables>
using SearchEntry = int32_t (*)(Worker<Tables>&, SearchLink, SearchLink, int32_t, int32_t);

template <class Tables, int Blank, int Slot>
constexpr SearchEntry<Tables> entryFor() {
    if constexpr (Slot == 0) {
        return &search<Tables, Blank, -1>;
    } else if constexpr (Slot - 1 < neighborCount[static_cast<std::size_t>(Blank)]) {
        return &search<
            Tables, Blank,
            neighbors[static_cast<std::size_t>(Blank)][static_cast<std::size_t>(Slot - 1)]>;
    } else {
        return nullptr;
    }
}

template <class Tables, int Blank, int... Slots>
constexpr std::array<SearchEntry<Tables>, 5> entriesOfCell(std::integer_sequence<int, Slots...>) {
    return {entryFor<Tables, Blank, Slots>()...};
}

template <class Tables, int... Blanks>
constexpr std::array<std::array<SearchEntry<Tables>, 5>, 16> entryTable(
    std::integer_sequence<int, Blanks...>) {
    return {entriesOfCell<Tables, Blanks>(std::make_integer_sequence<int, 5>{})...};
}

template <class Tables>
inline constexpr std::array<std::array<SearchEntry<Tables>, 5>, 16> searchEntries =
    entryTable<Tables>(std::make_integer_sequence<int, 16>{});

inline int entrySlot(int32_t blank, int32_t prevBlank) {
    const auto cell = static_cast<std::size_t>(blank);
    for (int k = 0; k < neighborCount[cell]; ++k) {
        if (neighbors[cell][static_cast<std::size_t>(k)] == prevBlank) return k + 1;
    }
    return 0;  // -1, or a cell that is no neighbour: nothing to exclude
}

}  // namespace dfs

template <class Tables>
int32_t depthFirstSearch(const Tables& tables, Board& board, int32_t blank, int32_t prevBlank,
                         const WdRecord& rowRecord, const WdRecord& columnRecord, int32_t depth,
                         int32_t bound, int32_t nextCheckDepth, int32_t* path,
                         SearchContext& context) {
    using namespace dfs;
    assert(blank >= 0 && blank < 16 && board[static_cast<std::size_t>(blank)] == 0);
    Worker<Tables> worker{board, &tables, context.bestLength, path, bound, 0};
    const SearchEntry<Tables> entry =
        searchEntries<Tables>[static_cast<std::size_t>(blank)]
                             [static_cast<std::size_t>(entrySlot(blank, prevBlank))];
    const int32_t result = entry(worker, linkOf(Tables::wd(), rowRecord),
                                 linkOf(Tables::wd(), columnRecord), depth, nextCheckDepth);
    context.nodes += worker.nodes;
    board = worker.board;  // restored by the recursion itself; copied back so a fault shows
    return result;
}

}  // namespace fifteen
