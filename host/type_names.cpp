#include "type_names.h"

namespace icehost {

std::string data_type_name(XSI::ULONG data_type) {
  switch (data_type) {
    case XSI::siICENodeDataBool:
      return "boolean";
    case XSI::siICENodeDataLong:
      return "integer";
    case XSI::siICENodeDataFloat:
      return "float";
    case XSI::siICENodeDataString:
      return "text";
    default:
      return "type " + std::to_string(data_type);
  }
}

std::string structure_name(XSI::ULONG structure) {
  switch (structure) {
    case XSI::siICENodeStructureSingle:
      return "one";
    case XSI::siICENodeStructureArray:
      return "array";
    default:
      return "structure " + std::to_string(structure);
  }
}

std::string severity_name(XSI::ULONG severity) {
  switch (severity) {
    case XSI::siFatalMsg:
      return "fatal";
    case XSI::siErrorMsg:
      return "error";
    case XSI::siWarningMsg:
      return "warning";
    case XSI::siInfoMsg:
      return "info";
    case XSI::siVerboseMsg:
      return "verbose";
    default:
      return "severity " + std::to_string(severity);
  }
}

std::string status_name(XSI::CStatus::Code code) {
  switch (code) {
    case XSI::CStatus::OK:
      return "success";
    case XSI::CStatus::Fail:
      return "failed";
    case XSI::CStatus::MemoryUnavailable:
      return "out of memory";
    case XSI::CStatus::Unexpected:
      return "unexpected error";
  }
  return "status " + std::to_string(code);
}

}  // namespace icehost
