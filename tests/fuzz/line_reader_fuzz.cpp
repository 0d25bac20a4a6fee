// libFuzzer target: the line reader of --file and standard input. Any bytes (long
// lines, NUL bytes, CRLF, no final newline) must give exactly the lines that a
// plain split at '\n' keeps, with their line numbers, each of which the parser
// then answers without fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli/position_source.h"
#include "puzzle/position_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace fifteen;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // The oracle: split by hand, keep lines with something before any '#'.
    std::vector<std::string> expected;
    std::size_t start = 0;
    int number = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(start, end - start);
        ++number;
        const std::size_t first = line.find_first_not_of(" \t\r\v\f");
        if (first != std::string::npos && line[first] != '#') {
            expected.push_back("f:" + std::to_string(number) + "|" + line);
        }
        start = end + 1;
    }
    std::istringstream in(bytes);
    cli::LineSource source(in, "f");
    cli::PositionInput input;
    std::size_t count = 0;
    while (source.next(input)) {
        if (count >= expected.size() || input.origin + "|" + input.text != expected[count]) {
            std::abort();
        }
        ++count;
        const ParsedPosition parsed = parsePosition(input.text);
        if (parsed.ok == !parsed.error.empty()) std::abort();
    }
    if (count != expected.size()) std::abort();
    return 0;
}
