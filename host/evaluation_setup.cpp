#include "evaluation_setup.h"

#include <algorithm>
#include <variant>
#include <vector>

#include "data_types.h"

namespace icehost {

using XSI::ULONG;
using xsi_host::Value;

void store(xsi_host::PortData& port, ULONG element, const std::vector<Value>& values) {
  if (const DataType* type = data_type(port.data_type())) type->store(port, element, values);
}

void store_constant(xsi_host::PortData& port, const std::vector<Value>& values,
                    std::wstring_view port_name) {
  port.constant = true;
  const DataType* type = data_type(port.data_type());
  std::vector<Value> others = values;
  if (type && port.structure() == XSI::siICENodeStructureSingle)
    for (Value& value : others) value = type->decoy(value, port_name);
  for (ULONG element = 0; element < port.element_count(); ++element)
    store(port, element, element == 0 ? values : others);
}

void IndexChoice::apply(xsi_host::Evaluation& evaluation, ULONG element_count) const {
  switch (form) {
    case Form::range:
      evaluation.index_range(range_count.value_or(element_count));
      break;
    case Form::bits:
      evaluation.index_bits(bits);
      break;
    case Form::list:
      evaluation.index_list(list);
      break;
  }
}

bool IndexChoice::holds(ULONG k, ULONG element_count) const {
  switch (form) {
    case Form::range:
      return k < range_count.value_or(element_count);
    case Form::bits:
      return k < bits.size() && bits[k];
    case Form::list:
      return std::find(list.begin(), list.end(), k) != list.end();
  }
  return false;
}

void declare_ports(xsi_host::Evaluation& evaluation, const xsi_host::NodeRecord& node,
                   ULONG element_count) {
  for (const xsi_host::PortRecord& record : node.ports) {
    if (!record.is_input) {
      evaluation.add_output(record.id, record.data_type, record.structure, element_count);
      continue;
    }
    xsi_host::PortData& port =
        evaluation.add_input(record.id, record.data_type, record.structure, element_count);
    const DataType* type = data_type(record.data_type);
    std::vector<Value> values = {type ? type->from_default(record.default_value) : Value()};
    // An array input that registered no default holds no items.
    if (record.structure == XSI::siICENodeStructureArray &&
        std::holds_alternative<std::monostate>(record.default_value))
      values.clear();
    for (ULONG element = 0; element < element_count; ++element) store(port, element, values);
  }
  if (const xsi_host::PortRecord* output = first_output(node)) evaluation.pull(output->id);
  evaluation.index_range(element_count);
}

const xsi_host::PortRecord* first_output(const xsi_host::NodeRecord& node) {
  for (const xsi_host::PortRecord& port : node.ports)
    if (!port.is_input) return &port;
  return nullptr;
}

}  // namespace icehost
