// palvane, dromlet and ocherin: a text of element 0 turned once per call into numbers that
// every element receives. Beside each node:
//  * the ideal: per element one ResizeSubArray and one copy of values computed before the walk;
//  * the literal: the text of every element read, cut and converted again, through the SDK's
//    CString and CValue, as a plug-in written the plain way does.
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "bench_host.h"
#include "number_text/number_text.h"

namespace bench {
namespace {

using xsi_host::Evaluation;

// The values the ideal callback copies: set by its benchmark before the first call, since an
// evaluation callback takes nothing but its context.
template <class Item>
std::vector<Item> ideal_values;

template <class Item>
XSI::CStatus ideal_copy(XSI::ICENodeContext& context) {
  XSI::CBaseDataArray2D out;
  context.AcquireOutputDataArray2D(
      out, std::is_same_v<Item, float> ? XSI::siICENodeDataFloat : XSI::siICENodeDataLong);
  XSI::CIndexSet set;
  context.AcquireIndexSet(set);
  const std::vector<Item>& values = ideal_values<Item>;
  const auto n = static_cast<ULONG>(values.size());
  const ULONG elements = set.GetCount();
  for (ULONG k = 0; k < elements; ++k) {
    void* items = nullptr;
    ULONG count = 0;
    ULONG item_size = 0;
    context.ResizeSubArray(out, k, n, items, count, item_size);
    if (n != 0) std::memcpy(items, values.data(), n * sizeof(Item));
  }
  context.ReleaseIndexSet(set);
  context.ReleaseDataArray(out);
  return XSI::CStatus::OK;
}

// palvane and dromlet written plainly: every element's text and delimiter tested, cut and read
// again. digit_test: palvane's refusal of a delimiter that begins with a digit.
template <class Item, bool digit_test>
XSI::CStatus literal_pieces(XSI::ICENodeContext& context) {
  XSI::CBaseDataArray2D out;
  context.AcquireOutputDataArray2D(
      out, std::is_same_v<Item, float> ? XSI::siICENodeDataFloat : XSI::siICENodeDataLong);
  XSI::CBaseDataArray text_array;
  XSI::CBaseDataArray delimiter_array;
  context.AcquireInputDataArray(text_array, XSI::siICENodeDataString, 0, 0);
  context.AcquireInputDataArray(delimiter_array, XSI::siICENodeDataString, 1, 0);
  XSI::CIndexSet set;
  context.AcquireIndexSet(set);
  const ULONG elements = set.GetCount();
  for (ULONG k = 0; k < elements; ++k) {
    const wchar_t* chars = nullptr;
    ULONG length = 0;
    context.GetStringData(text_array, k, chars, length);
    const XSI::CString text(chars, length);
    context.GetStringData(delimiter_array, k, chars, length);
    const XSI::CString delimiter(chars, length);
    if (text.FindString(delimiter) == XSI::kNotFound) continue;
    if (digit_test && delimiter.GetAsciiString()[0] >= '0' && delimiter.GetAsciiString()[0] <= '9')
      continue;
    const XSI::CStringArray pieces = text.Split(delimiter);
    void* data = nullptr;
    ULONG count = 0;
    ULONG item_size = 0;
    context.ResizeSubArray(out, k, static_cast<ULONG>(pieces.GetCount()), data, count, item_size);
    Item* items = static_cast<Item*>(data);
    for (long i = 0; i < pieces.GetCount(); ++i) {
      const XSI::CValue piece(pieces[i]);
      if constexpr (std::is_same_v<Item, float>)
        items[i] = static_cast<float>(piece);
      else
        items[i] = static_cast<std::int32_t>(static_cast<long>(piece));
    }
  }
  context.ReleaseIndexSet(set);
  context.ReleaseDataArray(delimiter_array);
  context.ReleaseDataArray(text_array);
  context.ReleaseDataArray(out);
  return XSI::CStatus::OK;
}

// ocherin written plainly: every element's text read and narrowed again.
XSI::CStatus literal_codes(XSI::ICENodeContext& context) {
  XSI::CBaseDataArray2D out;
  context.AcquireOutputDataArray2D(out, XSI::siICENodeDataLong);
  XSI::CBaseDataArray text_array;
  context.AcquireInputDataArray(text_array, XSI::siICENodeDataString, 7, 0);
  XSI::CIndexSet set;
  context.AcquireIndexSet(set);
  const ULONG elements = set.GetCount();
  for (ULONG k = 0; k < elements; ++k) {
    const wchar_t* chars = nullptr;
    ULONG length = 0;
    context.GetStringData(text_array, k, chars, length);
    const XSI::CString text(chars, length);
    const char* narrow = text.GetAsciiString();
    void* data = nullptr;
    ULONG count = 0;
    ULONG item_size = 0;
    context.ResizeSubArray(out, k, text.Length(), data, count, item_size);
    auto* codes = static_cast<std::int32_t*>(data);
    for (ULONG i = 0; i < text.Length(); ++i)
      codes[i] = static_cast<std::int8_t>(static_cast<unsigned char>(narrow[i]));
  }
  context.ReleaseIndexSet(set);
  context.ReleaseDataArray(text_array);
  context.ReleaseDataArray(out);
  return XSI::CStatus::OK;
}

enum class Row { node, ideal, literal };

// Elements 0, 1 and the last hold exactly the expected items.
template <class Item>
Check items_are(ULONG output, std::vector<Item> expected) {
  return [output, expected = std::move(expected)](Evaluation& evaluation) -> std::string {
    xsi_host::PortData& port = *evaluation.port(output);
    for (ULONG k : {ULONG{0}, ULONG{1}, kElements - 1}) {
      const std::vector<xsi_host::Value> items = port.items(k);
      if (items.size() != expected.size())
        return "element " + std::to_string(k) + " holds " + std::to_string(items.size()) +
               " items, not " + std::to_string(expected.size());
      for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] != xsi_host::Value(expected[i]))
          return "element " + std::to_string(k) + " item " + std::to_string(i) + " differs";
    }
    return {};
  };
}

// A text of n pieces joined by ',' and the values the pieces read as.
template <class Item>
std::pair<std::wstring, std::vector<Item>> pieces(int n) {
  static const wchar_t* const floats[] = {L"1.36", L"4.6704993", L"83.2243",   L"114.68",
                                          L"-0.5", L"2.5e-3",    L"123456.78", L"-7"};
  std::wstring text;
  std::vector<Item> values;
  for (int i = 0; i < n; ++i) {
    std::wstring piece;
    if constexpr (std::is_same_v<Item, float>) {
      piece = floats[i % 8];
      values.push_back(number_text::read_float(piece));
    } else {
      piece = std::to_wstring((i * 7919) % 200'003 - 100'000);
      values.push_back(number_text::read_integer(piece));
    }
    text += (i == 0 ? L"" : L",") + piece;
  }
  return {text, values};
}

template <class Item>
void text_to_numbers(benchmark::State& state, const char* node, ULONG output, Row row) {
  const auto [text, values] = pieces<Item>(static_cast<int>(state.range(0)));
  Evaluation evaluation;
  icehost::declare_ports(evaluation, plugin(node).node(), kElements);
  for (ULONG k = 0; k < kElements; ++k) evaluation.port(0)->set_text(k, text);
  ideal_values<Item> = values;
  constexpr bool palvane = std::is_same_v<Item, float>;
  const xsi_host::EvaluateFunction evaluate = row == Row::node    ? plugin(node).evaluate()
                                              : row == Row::ideal ? ideal_copy<Item>
                                                                  : literal_pieces<Item, palvane>;
  time_evaluations(state, evaluation, evaluate, items_are<Item>(output, values), kElements,
                   "per_element");
}

void ocherin(benchmark::State& state, Row row) {
  // Mostly ASCII, with a character of the narrow form's upper half and one beyond it.
  const std::wstring motif = L"default string \u00e9\u0416";
  std::wstring text;
  for (int i = 0; i < state.range(0); ++i) text += motif[i % motif.size()];
  std::vector<std::int32_t> codes;
  for (wchar_t c : text)
    codes.push_back(c < 256 ? static_cast<std::int8_t>(static_cast<unsigned char>(c)) : '?');
  Evaluation evaluation;
  icehost::declare_ports(evaluation, plugin("ocherin").node(), kElements);
  for (ULONG k = 0; k < kElements; ++k) evaluation.port(7)->set_text(k, text);
  ideal_values<std::int32_t> = codes;
  const xsi_host::EvaluateFunction evaluate = row == Row::node    ? plugin("ocherin").evaluate()
                                              : row == Row::ideal ? ideal_copy<std::int32_t>
                                                                  : literal_codes;
  time_evaluations(state, evaluation, evaluate, items_are<std::int32_t>(209, codes), kElements,
                   "per_element");
}

const bool registered = [] {
  constexpr std::pair<Row, const char*> rows[] = {
      {Row::node, "node"}, {Row::ideal, "ideal"}, {Row::literal, "literal"}};
  for (int n : {4, 64})
    for (const auto& [row, name] : rows)
      benchmark::RegisterBenchmark(("palvane/" + std::string(name)).c_str(), text_to_numbers<float>,
                                   "palvane", 200, row)
          ->Arg(n);
  for (int n : {4, 64})
    for (const auto& [row, name] : rows)
      benchmark::RegisterBenchmark(("dromlet/" + std::string(name)).c_str(),
                                   text_to_numbers<std::int32_t>, "dromlet", 208, row)
          ->Arg(n);
  for (int n : {16, 1024})
    for (const auto& [row, name] : rows)
      benchmark::RegisterBenchmark(("ocherin/" + std::string(name)).c_str(), ocherin, row)->Arg(n);
  return true;
}();

}  // namespace
}  // namespace bench
