#include "cli/output_writer.h"

#include <cerrno>
#include <cstring>

namespace fifteen::cli {
namespace {

// One report a process: after the first failure nothing more is written.
bool failed = false;

bool fail(std::FILE* out, int error) {
    if (!failed) {
        failed = true;
        const char* what = out == stdout ? "standard output" : "the output";
        std::fprintf(stderr, "fifteen-solve: cannot write to %s: %s\n", what,
                     error != 0 ? std::strerror(error) : "write error");
    }
    return false;
}

}  // namespace

bool writeChecked(std::FILE* out, const std::string& text) {
    if (failed) return false;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fflush(out) != 0)
        return fail(out, errno);
    return true;
}

bool finishOutput(std::FILE* out) {
    if (failed) return false;
    errno = 0;
    if (std::fflush(out) != 0 || std::ferror(out) != 0) return fail(out, errno);
    return true;
}

}  // namespace fifteen::cli
