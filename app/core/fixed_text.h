#pragma once
// printf's "%.Nf" in the "C" locale, whatever locale the process runs in (Qt sets the user's).

#include <string>

namespace app {

std::string FixedText(double value, int decimals);

}  // namespace app
