#pragma once

// Answers that were not written must not count as answered: every write to
// standard output is checked, and the first that fails (a full disk, a closed
// pipe with SIGPIPE ignored) ends the run with one line naming the error.

#include <cstdio>
#include <string>

namespace fifteen::cli {

// Writes text to out and flushes it. False when either fails; the first failure
// is reported on standard error as "fifteen-solve: cannot write ...: REASON" (a
// stream that failed once is not written again, and is not reported twice).
bool writeChecked(std::FILE* out, const std::string& text);

// Flushes out and checks its error state: false (reported as above) when any
// earlier write failed or the flush does.
bool finishOutput(std::FILE* out);

}  // namespace fifteen::cli
