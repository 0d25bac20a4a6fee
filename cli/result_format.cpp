#include "cli/result_format.h"

#include <cstddef>

namespace fifteen::cli {

std::string withUnixLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

const char* statusName(SolveStatus status) {
    switch (status) {
        case solveSolved:
            return "solved";
        case solveUnsolvable:
            return "unsolvable";
        case solveCancelled:
            return "cancelled";
        default:
            return "invalid";
    }
}

namespace {

// The lines of --analyse and --review after the report.
std::string extraLines(const SolveRecord& record) {
    std::string lines;
    if (record.analysed && !record.analysisText.empty()) lines += record.analysisText + "\n";
    if (!record.reviewed) return lines;
    const MoveReview& review = record.review;
    if (review.status == solveSolved) {
        lines += "Review: " + reviewSummary(review) + "\n";
        if (!review.distances.empty()) {
            lines += "Distances:";
            for (const int32_t d : review.distances) lines += " " + std::to_string(d);
            lines += "\n";
        }
    } else if (review.status == solveUnsolvable) {
        lines += "Review: no distances, the position is unsolvable\n";
    }
    if (!record.reviewError.empty()) lines += "Review stopped: " + record.reviewError + "\n";
    return lines;
}

nlohmann::json reviewJson(const SolveRecord& record) {
    const MoveReview& review = record.review;
    nlohmann::json out;
    out["moves"] = review.tiles;
    out["distances"] = review.distances;
    std::vector<int32_t> lost = lostMoves(review);
    for (int32_t& move : lost) ++move;  // counted from 1, as in the text
    out["lost"] = lost;
    out["illegalMove"] =
        review.illegalIndex >= 0 ? nlohmann::json(review.illegalIndex + 1) : nlohmann::json();
    const bool known = review.status == solveSolved;
    out["ended"] = !known                     ? nlohmann::json()
                   : review.distances.empty() ? nlohmann::json(review.startLength)
                                              : nlohmann::json(review.distances.back());
    out["summary"] = known ? nlohmann::json(reviewSummary(review)) : nlohmann::json();
    return out;
}

}  // namespace

std::string formatText(const SolveRecord& record, bool withOrigin) {
    const std::string header = withOrigin ? "# " + record.origin + "\n" : "";
    if (record.status == solveInvalid) {
        return header + "Invalid position (" + record.origin + "): " + record.error + "\n\n";
    }
    // The report ends without a line break unless it ends in the empty move list.
    const bool ended = !record.report.empty() && record.report.back() == '\n';
    return header + record.report + (ended ? "" : "\n") + extraLines(record) + "\n";
}

nlohmann::json formatJson(const SolveRecord& record) {
    nlohmann::json out;
    out["input"] = record.input;
    out["origin"] = record.origin;
    out["status"] = statusName(record.status);
    if (record.goal) out["goal"] = goalName(*record.goal);
    if (record.status == solveInvalid) {
        out["error"] = record.error;
        return out;
    }
    out["length"] = record.status == solveSolved ? nlohmann::json(record.length) : nlohmann::json();
    out["moves"] = record.moves;
    out["directions"] = record.directions;
    out["wd"] = record.wd;
    out["pdb"] = record.pdb;
    out["threads"] = record.threads;
    out["maxThreads"] = record.maxThreads;
    out["nodes"] = record.nodes;
    out["nodesBelowFinalBound"] = record.nodesBelowFinalBound;
    out["ms"] = record.ms;
    if (!record.tables.empty()) out["tables"] = record.tables;
    if (record.analysed) {
        nlohmann::json moves = nlohmann::json::array();
        for (const MoveVerdict& v : record.analysis) {
            moves.push_back({{"tile", v.tile},
                             {"direction", std::string(1, v.direction)},
                             {"length", v.lengthAfter},
                             {"optimal", v.optimal}});
        }
        out["analysis"] = moves;
    }
    if (record.reviewed) out["review"] = reviewJson(record);
    return out;
}

}  // namespace fifteen::cli
