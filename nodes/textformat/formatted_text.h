// The text a format is filled into: an element's usual label, up to 64 characters, allocates
// nothing.
#pragma once

#include "frame/values.h"

namespace textformat {

using FormattedText = frame::SmallText<64>;

}  // namespace textformat
