// Case files: a node's behaviour through the host, stated as cases that icehost check evaluates.
// A file is a JSON array of cases ('//' and '/* */' comments allowed), each an object:
//   {"case": "what it catches", "elements": 3, "set": {"SubString": "an"},
//    "each": {"String": ["banana", "aaa", ""]}, "constant": {"Delimiter": ","}, "port": 200,
//    "want": [1, -1, -1]}
// docs/new-node.md describes the format in full. Reading one resolves it against the node's
// ports, as eval's options are, so that every value is checked before anything is evaluated.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "evaluation.h"
#include "xsi_host.h"

namespace icehost {

struct Case {
  std::string name;  // its "case", printed with every failure
  // The call: its output pulled, element count and inputs ("set" in every element, "each" one
  // setting an element, "constant" handed over as constant); the check chooses index and host.
  EvaluationPlan plan;
  // The values wanted by element (one, or an array's items): of every element when
  // every_element, of which the index set selects those it must hold; otherwise exactly the
  // elements the call writes, whatever the index set.
  bool every_element = true;
  std::map<XSI::ULONG, std::vector<xsi_host::Value>> want;
};

// The cases of the file at path, resolved against node. Throws UsageError, with one line that
// names the file, the case and the key, when the file does not read as cases of the node.
std::vector<Case> read_case_file(const std::string& path, const xsi_host::NodeRecord& node);

}  // namespace icehost
