#include "model/part_table.h"

#include <algorithm>

namespace model {

bool PartTable::SetField(std::span<char> field, std::string_view text) {
    if (text.size() >= field.size()) return false;
    std::fill(field.begin(), field.end(), '\0');
    std::copy(text.begin(), text.end(), field.begin());
    return true;
}

}  // namespace model
