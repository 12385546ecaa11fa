// icehost check: the cases of a case file evaluated through the real loader, each over three
// index sets and in both hosts, and what the node wrote checked against what the case wants.
#pragma once

#include <string>
#include <vector>

#include "case_file.h"
#include "evaluation_setup.h"
#include "plugin_library.h"

namespace icehost {

// A range over every element, the even elements listed in descending order with a hole after the
// first, a bit set of the odd ones: every element of two or more skipped by one, selected by
// another.
std::vector<IndexChoice> case_index_sets(XSI::ULONG element_count);

// The index set as --index writes it: "range:3", "list:2,-,0", "bits:010".
std::string index_text(const IndexChoice& index);

// Whether two values are the same: floats by value, NaN the same as NaN and -0 not 0.
bool same_value(const xsi_host::Value& wanted, const xsi_host::Value& came);

// The case over each index set in both hosts: a line per failure (a failed call or misuse, a
// selected element not holding its value, an element written that should not be), after where.
std::vector<std::string> check_case(const PluginLibrary& library, const Case& c,
                                    const std::string& where);

}  // namespace icehost
