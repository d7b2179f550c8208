#pragma once
// The rules that make the part table a tree the editor can walk: slots 0..count-1 in
// depth-first order, so that the parent links and the levels agree and every subtree is one
// contiguous run. Files are checked against them before their table is used.

#include <string>

#include "model/part_table.h"

namespace model {

// Empty when the table's parts form such a tree: part 0 is the root with parent -1 and level
// 0, and every later part i has as parent the nearest earlier part whose level is below
// level[i], with level[i] one more than that parent's. Otherwise the first part that breaks
// the rules and how.
std::string TreeFault(const PartTable& table);

}  // namespace model
