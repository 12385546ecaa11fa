// The words icehost shows a reader for the SDK's numbers: data types, structures, severities.
#pragma once

#include <string>

#include "xsi_host.h"

namespace icehost {

// "boolean", "integer", "float", "text"; any other as "type N".
std::string data_type_name(XSI::ULONG data_type);

// "one", "array"; any other as "structure N".
std::string structure_name(XSI::ULONG structure);

// "fatal", "error", "warning", "info", "verbose"; any other as "severity N".
std::string severity_name(XSI::ULONG severity);

// What a status code says: "success", "failed", "out of memory", "unexpected error"; any other
// as "status N".
std::string status_name(XSI::CStatus::Code code);

}  // namespace icehost
