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

std::string formatText(const SolveRecord& record, bool withOrigin) {
    const std::string header = withOrigin ? "# " + record.origin + "\n" : "";
    if (record.status == solveInvalid) {
        return header + "Invalid position (" + record.origin + "): " + record.error + "\n\n";
    }
    // The report ends without a line break unless it ends in the empty move list.
    const bool ended = !record.report.empty() && record.report.back() == '\n';
    return header + record.report + (ended ? "\n" : "\n\n");
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
    return out;
}

}  // namespace fifteen::cli
