// palvane, dromlet and ocherin: a text of element 0 turned once per call into numbers that
// every element receives. Beside each node:
//  * the ideal: per element one ResizeSubArray and one copy of values computed before the walk;
//  * the literal: the text of every element read, cut and converted again, through the SDK's
//    CString and CValue, as a plug-in written the plain way does.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bench_host.h"

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

// The checked elements hold exactly the expected items.
template <class Item>
Check items_are(ULONG output, ULONG batch, std::vector<Item> expected) {
  return [output, batch, expected = std::move(expected)](Evaluation& evaluation) -> std::string {
    xsi_host::PortData& port = *evaluation.port(output);
    for (ULONG k : checked_elements(batch)) {
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

// Evaluates node (palvane, dromlet or ocherin) or the row beside it and checks that every
// element receives values, which the ideal copies.
template <class Item>
void run_row(benchmark::State& state, const char* node, ULONG output, Row row,
             xsi_host::EvaluateFunction literal, std::vector<Item> values) {
  const ULONG batch = batch_of(state);
  Evaluation evaluation;
  set_up(evaluation, plugin(node).node(), node, size_of(state), batch);
  ideal_values<Item> = values;
  const xsi_host::EvaluateFunction evaluate = row == Row::node    ? plugin(node).evaluate()
                                              : row == Row::ideal ? ideal_copy<Item>
                                                                  : literal;
  time_evaluations(state, evaluation, evaluate, items_are<Item>(output, batch, std::move(values)),
                   batch, "per_element");
}

// The codes ocherin gives: a character's byte read as signed below 256, '?' beyond.
std::vector<std::int32_t> codes_of(std::wstring_view text) {
  std::vector<std::int32_t> codes;
  for (wchar_t c : text)
    codes.push_back(c < 256 ? static_cast<std::int8_t>(static_cast<unsigned char>(c)) : '?');
  return codes;
}

const bool registered = [] {
  register_rows("palvane", {4, 64}, [](benchmark::State& state, Row row) {
    run_row(state, "palvane", 200, row, literal_pieces<float, true>,
            pieces<float>(size_of(state)).second);
  });
  register_rows("dromlet", {4, 64}, [](benchmark::State& state, Row row) {
    run_row(state, "dromlet", 208, row, literal_pieces<std::int32_t, false>,
            pieces<std::int32_t>(size_of(state)).second);
  });
  register_rows("ocherin", {16, 1024}, [](benchmark::State& state, Row row) {
    run_row(state, "ocherin", 209, row, literal_codes, codes_of(characters(size_of(state))));
  });
  return true;
}();

}  // namespace
}  // namespace bench
