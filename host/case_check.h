// icehost check: the cases of a case file evaluated through the real loader, each over three
// index sets and in both hosts, and what the node wrote checked against what the case wants.
#pragma once

#include <string>
#include <vector>

#include "case_file.h"
#include "evaluation_setup.h"
#include "plugin_library.h"

namespace icehost {

// The index sets a case of element_count elements is evaluated over: a range over every
// element; a list of the even elements in descending order, a hole after the first; a bit set
// of the odd elements, its bit count the element count. Between them, every element of two or
// more is skipped by one and selected by another.
std::vector<IndexChoice> case_index_sets(XSI::ULONG element_count);

// The index set as --index writes it: "range:3", "list:2,-,0", "bits:010".
std::string index_text(const IndexChoice& index);

// Whether two values are the same: floats by value, NaN the same as NaN and -0 not 0.
bool same_value(const xsi_host::Value& wanted, const xsi_host::Value& came);

// Evaluates the case over each of its index sets in the ordinary and the unforgiving host, and
// gives one line per failure, each beginning with where: a call that failed or misused the SDK,
// an element the index set selects that does not hold the value wanted, an element written
// that it does not select (or, for a case that names the elements written, one it does not
// name).
std::vector<std::string> check_case(const PluginLibrary& library, const Case& c,
                                    const std::string& where);

}  // namespace icehost
