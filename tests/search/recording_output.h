#pragma once

#include <string>
#include <vector>

#include "search/solve_job.h"

namespace fifteen::testing {

// Keeps every call a solve job makes, in order, as "kind:value".
class RecordingOutput : public SolveOutput {
  public:
    void setOutputText(const char* text) override {
        add("output", text);
        output = text;
    }
    void setReportText(const char* text, const TextSpan* moves, int32_t count) override {
        moveSpans.assign(moves, moves + count);
        setOutputText(text);
    }
    void setStatusText(const char* text) override {
        add("status", text);
        status = text;
    }
    void setSecondsText(const char* text) override { add("seconds", text); }
    void setSolutionAvailable(bool available) override { add("available", available ? "1" : "0"); }
    void setPlaybackPosition(int32_t position) override {
        add("playback", std::to_string(position));
    }
    void solveFinished(const SolveResult& finishedWith) override {
        add("finished", "");
        finished = true;
        result = finishedWith;
    }
    // Called on the solve job's thread; a test reads these after joining it.
    virtual void onCall() {}

    std::vector<std::string> calls;
    std::string output;
    std::vector<TextSpan> moveSpans;  // of the report, when it lists a solution
    std::string status;
    bool finished = false;
    SolveResult result;

  private:
    void add(const char* kind, const std::string& value) {
        calls.push_back(std::string(kind) + ":" + value);
        onCall();
    }
};

}  // namespace fifteen::testing
