// libFuzzer target: any bytes given to the position parser must give either a
// valid board that reads back unchanged from its own text form, or a one-line
// printable message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "puzzle/position_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace fifteen;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ParsedPosition parsed = parsePosition(text);
    if (parsed.ok) {
        if (!isValidBoard(parsed.board) || !parsed.error.empty()) std::abort();
        const ParsedPosition again = parsePosition(formatPosition(parsed.board));
        if (!again.ok || again.board != parsed.board) std::abort();
    } else {
        if (parsed.error.empty() || parsed.error.size() > 200) std::abort();
        for (const char c : parsed.error) {
            if (c < 0x20 || c >= 0x7F) std::abort();
        }
    }
    return 0;
}
