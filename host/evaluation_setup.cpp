#include "evaluation_setup.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

namespace icehost {

using XSI::ULONG;
using xsi_host::Value;

namespace {

// The number a value holds, or nothing.
template <class T>
bool number_of(const Value& value, T& out) {
  return std::visit(
      [&out](const auto& v) {
        using V = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<V, std::int32_t> || std::is_same_v<V, std::uint32_t> ||
                      std::is_same_v<V, float> || std::is_same_v<V, bool>) {
          out = static_cast<T>(v);
          return true;
        } else {
          return false;
        }
      },
      value);
}

}  // namespace

Value default_for(const xsi_host::PortRecord& port) {
  const Value& value = port.default_value;
  switch (port.data_type) {
    case XSI::siICENodeDataString:
      if (const auto* text = std::get_if<std::wstring>(&value)) return *text;
      return {};
    case XSI::siICENodeDataBool:
      if (const auto* flag = std::get_if<bool>(&value)) return *flag;
      return {};
    case XSI::siICENodeDataLong: {
      std::int32_t number = 0;
      return number_of(value, number) ? Value(number) : Value();
    }
    case XSI::siICENodeDataFloat: {
      float number = 0;
      return number_of(value, number) ? Value(number) : Value();
    }
    default:
      return {};
  }
}

void store(xsi_host::PortData& port, ULONG element, const std::vector<Value>& values) {
  const bool single = port.structure() == XSI::siICENodeStructureSingle;
  switch (port.data_type()) {
    case XSI::siICENodeDataString: {
      std::vector<std::wstring> texts;
      for (const Value& v : values)
        texts.push_back(std::holds_alternative<std::wstring>(v) ? std::get<std::wstring>(v) : L"");
      if (single)
        port.set_text(element, texts.empty() ? L"" : texts.front());
      else
        port.set_texts(element, texts);
      break;
    }
    case XSI::siICENodeDataBool: {
      std::vector<bool> flags(values.size(), false);
      for (std::size_t i = 0; i < values.size(); ++i) {
        bool flag = false;
        number_of(values[i], flag);
        flags[i] = flag;
      }
      if (single)
        port.set_boolean(element, !flags.empty() && flags.front());
      else
        port.set_booleans(element, flags);
      break;
    }
    case XSI::siICENodeDataLong: {
      std::vector<std::int32_t> numbers(values.size(), 0);
      for (std::size_t i = 0; i < values.size(); ++i) number_of(values[i], numbers[i]);
      if (single)
        port.set_integer(element, numbers.empty() ? 0 : numbers.front());
      else
        port.set_integers(element, numbers);
      break;
    }
    case XSI::siICENodeDataFloat: {
      std::vector<float> numbers(values.size(), 0.0f);
      for (std::size_t i = 0; i < values.size(); ++i) number_of(values[i], numbers[i]);
      if (single)
        port.set_float(element, numbers.empty() ? 0.0f : numbers.front());
      else
        port.set_floats(element, numbers);
      break;
    }
    default:
      break;
  }
}

Value unlike(const Value& value) {
  return std::visit(
      [](const auto& v) -> Value {
        using V = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<V, std::wstring>)
          return L"\u2260 " + v;
        else if constexpr (std::is_same_v<V, bool>)
          return !v;
        else if constexpr (std::is_same_v<V, float>)
          return v == 0.0f || std::isnan(v) ? 1.0f : -v;
        else if constexpr (std::is_same_v<V, std::monostate>)
          return v;
        else
          return static_cast<V>(~v);
      },
      value);
}

void store_constant(xsi_host::PortData& port, const std::vector<Value>& values) {
  port.constant = true;
  const bool single = port.structure() == XSI::siICENodeStructureSingle;
  std::vector<Value> others = values;
  if (single) std::transform(values.begin(), values.end(), others.begin(), unlike);
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
    std::vector<Value> values = {default_for(record)};
    if (record.structure == XSI::siICENodeStructureArray &&
        std::holds_alternative<std::monostate>(record.default_value))
      values.clear();
    for (ULONG element = 0; element < element_count; ++element) store(port, element, values);
  }
  for (const xsi_host::PortRecord& record : node.ports) {
    if (!record.is_input) {
      evaluation.pull(record.id);
      break;
    }
  }
  evaluation.index_range(element_count);
}

}  // namespace icehost
