// The reports as JSON documents, members in the order icehost prints them; json_text gives the
// text.
#pragma once

#include <nlohmann/json_fwd.hpp>

#include "evaluation.h"
#include "xsi_host.h"

namespace icehost {

// A port value: null when empty, true or false, a number, or a string (UTF-8).
nlohmann::ordered_json value_json(const xsi_host::Value& value);

// {"node", "port", "status", "written": [{"element", "value"}], "faults"}; an array port's value
// is an array of its items. A status other than 0 is named after it: "status_name": "failed".
nlohmann::ordered_json eval_json(const EvaluationReport& report);

// {"plugin", "author", "version", "file", "load_status", "unload_status", "nodes",
// "assertion_failures", "log", "faults"}: the registration in full.
nlohmann::ordered_json info_json(const RegistrationReport& report);

}  // namespace icehost
