// The reports as JSON documents, members in the order icehost prints them; json_text gives the
// text.
#pragma once

#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "evaluation.h"
#include "xsi_host.h"

namespace icehost {

// A port value: null when empty, true or false, a number, or a string (UTF-8).
nlohmann::ordered_json value_json(const xsi_host::Value& value);
// An element's values as eval --json prints them: the one value of a port of one value per
// element, or an array of the items of an array port.
nlohmann::ordered_json values_json(const std::vector<xsi_host::Value>& values, bool array);

// {"node", "port", "status", "written": [{"element", "value"}], "faults"}; an array port's value
// is an array of its items. A status other than 0 is named after it: "status_name": "failed".
nlohmann::ordered_json eval_json(const EvaluationReport& report);

// {"plugin", "author", "version", "file", "load_status", "unload_status", "nodes",
// "assertion_failures", "log", "faults"}: the registration in full.
nlohmann::ordered_json info_json(const RegistrationReport& report);

}  // namespace icehost
