// One replacement field: a value written under its layout, as Python writes a float (or, for the
// integer types, the integer the float rounds to toward zero). The digits come from the {fmt}
// library, used header-only in this one function; the sign, the prefix, the padding and
// Python's rules where {fmt}'s differ are the node's own.
//
//   1.5f, "+08.2f"  -> "+0001.50"     -255.9f, "#x"  -> "-0xff"      8, "#o"  -> "0o10"
//   0.25f, ".1%"    -> "25.0%"        1, ".3"        -> "1.0"        nan, "F" -> "NAN"
#pragma once

#include "field_layout.h"
#include "formatted_text.h"

namespace textformat {

// Appends value under layout to out; false, leaving out as it was, when the value has no text
// there: NaN or an infinity under an integer type.
bool append_number(float value, const FieldLayout& layout, FormattedText& out);

}  // namespace textformat
