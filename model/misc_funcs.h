#pragma once

#include <cstdint>
#include <string>

namespace thrustlet {

// Takes fields off the front of `sText`, split at `sDelim`, and returns the
// iCount-th (a count of 0 counts as 1). A field that ended at a delimiter is
// returned as it stands; the last field of the text has its leading and
// trailing spaces removed. Asking past the last field gives "". Never fails.
std::string TakeField(std::string& sText, const std::string& sDelim, int16_t iCount);

}  // namespace thrustlet
