#include "type_names.h"

#include <utility>

namespace icehost {
namespace {

struct Named {
  long long code;
  const char* name;
};

// The name of code in names, or "kind N".
template <std::size_t N>
std::string name_in(const Named (&names)[N], long long code, const char* kind) {
  for (const Named& named : names)
    if (named.code == code) return named.name;
  return std::string(kind) + " " + std::to_string(code);
}

constexpr Named kStructures[] = {{XSI::siICENodeStructureSingle, "one"},
                                 {XSI::siICENodeStructureArray, "array"}};
constexpr Named kSeverities[] = {{XSI::siFatalMsg, "fatal"},
                                 {XSI::siErrorMsg, "error"},
                                 {XSI::siWarningMsg, "warning"},
                                 {XSI::siInfoMsg, "info"},
                                 {XSI::siVerboseMsg, "verbose"}};
constexpr Named kStatuses[] = {{XSI::CStatus::OK, "success"},
                               {XSI::CStatus::Fail, "failed"},
                               {XSI::CStatus::MemoryUnavailable, "out of memory"},
                               {XSI::CStatus::Unexpected, "unexpected error"}};

}  // namespace

std::string structure_name(XSI::ULONG structure) {
  return name_in(kStructures, structure, "structure");
}

std::string severity_name(XSI::ULONG severity) {
  return name_in(kSeverities, severity, "severity");
}

std::string status_name(XSI::CStatus::Code code) { return name_in(kStatuses, code, "status"); }

}  // namespace icehost
