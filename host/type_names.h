// The words icehost shows a reader for the SDK's numbers: structures, severities, statuses.
// Data types are named by their rows in data_types.h.
#pragma once

#include <string>

#include "xsi_host.h"

namespace icehost {

// "one", "array"; any other as "structure N".
std::string structure_name(XSI::ULONG structure);

// "fatal", "error", "warning", "info", "verbose"; any other as "severity N".
std::string severity_name(XSI::ULONG severity);

// What a status code says: "success", "failed", "out of memory", "unexpected error"; any other
// as "status N".
std::string status_name(XSI::CStatus::Code code);

}  // namespace icehost
