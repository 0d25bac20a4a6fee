#pragma once

// A table set: the bounds a search is built on (start values, lookup, schedule,
// largest distances). The solver runs a solve over one; the search is a template
// instantiated on each set's type.

namespace fifteen {

class TableSet {
  public:
    virtual ~TableSet() = default;
    virtual const char* name() const = 0;
};

// The walking distance and the two 5+5 databases over the program's tables.
const TableSet& defaultTableSet();

}  // namespace fifteen
