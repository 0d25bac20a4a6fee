#!/usr/bin/env python3
"""Writes puzzle/standard_instances.h from bench/data/korf100.tsv."""
import os

root = os.path.dirname(os.path.abspath(__file__))
rows = []
with open(os.path.join(root, "data", "korf100.tsv")) as data:
    for line in data:
        if line.startswith("#") or not line.strip():
            continue
        number, cells, length = line.rstrip("\n").split("\t")
        rows.append((int(number), [int(c) for c in cells.split()], int(length)))
assert [r[0] for r in rows] == list(range(1, 101))

out = [
    "#pragma once",
    "",
    "// The 100 random instances of Korf (1985) with their published optimal lengths,",
    "// in this program's goal orientation, for the tests, the benchmarks and --bench.",
    "// Written by bench/make_standard_instances.py from bench/data/korf100.tsv; do",
    "// not edit by hand.",
    "",
    "#include <array>",
    "#include <cstddef>",
    "#include <cstdint>",
    "",
    '#include "puzzle/board.h"',
    "",
    "namespace fifteen {",
    "",
    "struct StandardInstance {",
    "    int number;",
    "    Board board;",
    "    int32_t length;",
    "};",
    "",
    "inline constexpr std::array<StandardInstance, 100> standardInstances = {{",
]
for number, cells, length in rows:
    out.append("    {%d, {%s}, %d}," % (number, ", ".join(map(str, cells)), length))
out += [
    "}};",
    "",
    "// Instance 1..100.",
    "constexpr const StandardInstance& standardInstance(int number) {",
    "    return standardInstances[static_cast<std::size_t>(number - 1)];",
    "}",
    "static_assert(standardInstance(100).number == 100 && standardInstance(1).length == 57);",
    "",
    "}  // namespace fifteen",
    "",
]
with open(os.path.join(root, "..", "puzzle", "standard_instances.h"), "w") as header:
    header.write("\n".join(out))
