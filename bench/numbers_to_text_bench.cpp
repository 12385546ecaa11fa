// vireth and tamsel: each element's array of numbers turned into an array of texts. Beside each
// node:
//  * the ideal: the same host calls (the input's items, one sizing of the output's sub-array,
//    per item the text sized, then set), each text converted by std::to_chars into a buffer on
//    the stack: the limit of this host's calls;
//  * the literal: each text formed with snprintf ("%.9g", which reads back to the same float;
//    "%d"), as a plug-in written the plain way does.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "bench_host.h"
#include "number_text/number_text.h"
#include "utf8.h"

namespace bench {
namespace {

using xsi_host::Evaluation;

constexpr std::size_t kBuffer = 64;

// to_chars: the shortest text of a float that reads back to it; plain decimal of an integer.
std::size_t convert_fast(float value, char* out) {
  if (value != value) return static_cast<std::size_t>(std::snprintf(out, kBuffer, "nan"));
  return static_cast<std::size_t>(std::to_chars(out, out + kBuffer, value).ptr - out);
}
std::size_t convert_fast(std::int32_t value, char* out) {
  return static_cast<std::size_t>(std::to_chars(out, out + kBuffer, value).ptr - out);
}
std::size_t convert_snprintf(float value, char* out) {
  return static_cast<std::size_t>(std::snprintf(out, kBuffer, "%.9g", static_cast<double>(value)));
}
std::size_t convert_snprintf(std::int32_t value, char* out) {
  return static_cast<std::size_t>(std::snprintf(out, kBuffer, "%d", value));
}

// One callback per conversion: the input's items, the output's sub-array sized once, and per
// item the text converted into a local buffer, sized, then set.
template <class Number, std::size_t (*convert)(Number, char*)>
XSI::CStatus numbers_to_texts(XSI::ICENodeContext& context) {
  XSI::CBaseDataArray2D out;
  context.AcquireOutputDataArray2D(out, XSI::siICENodeDataString);
  XSI::CBaseDataArray2D in;
  context.AcquireInputDataArray2D(
      in, std::is_same_v<Number, float> ? XSI::siICENodeDataFloat : XSI::siICENodeDataLong, 0, 0);
  XSI::CIndexSet set;
  context.AcquireIndexSet(set);
  const bool constant = in.IsConstant();
  const ULONG elements = set.GetCount();
  for (ULONG k = 0; k < elements; ++k) {
    const void* data = nullptr;
    ULONG n = 0;
    ULONG item_size = 0;
    context.GetSubArray(in, k, data, n, item_size);
    const auto* numbers = static_cast<const Number*>(data);
    void* unused = nullptr;
    ULONG count = 0;
    context.ResizeSubArray(out, k, n, unused, count, item_size);
    for (ULONG i = 0; i < n; ++i) {
      char narrow[kBuffer];
      wchar_t text[kBuffer];
      const std::size_t length = convert(numbers[constant ? 0 : i], narrow);
      for (std::size_t c = 0; c < length; ++c) text[c] = static_cast<unsigned char>(narrow[c]);
      wchar_t* buffer = nullptr;
      context.ResizeStringData2D(out, k, i, static_cast<ULONG>(length), buffer);
      context.SetStringData2D(out, k, i, text, static_cast<ULONG>(length));
    }
  }
  context.ReleaseIndexSet(set);
  context.ReleaseDataArray(in);
  context.ReleaseDataArray(out);
  return XSI::CStatus::OK;
}

// Every text of the checked elements reads back to its number; with exact, it is also the
// shortest such text.
template <class Number>
Check texts_are(bool exact, ULONG n, ULONG batch) {
  return [exact, n, batch](Evaluation& evaluation) -> std::string {
    for (ULONG k : checked_elements(batch)) {
      const std::vector<std::wstring> texts = texts_of(*evaluation.port(200), k);
      if (texts.size() != n) return "element " + std::to_string(k) + ": wrong number of texts";
      for (ULONG i = 0; i < n; ++i) {
        wchar_t shortest[number_text::kMaxDigits];
        std::size_t length = 0;
        bool reads_back = false;
        if constexpr (std::is_same_v<Number, float>) {
          length = number_text::format_float(float_item(k, i), shortest);
          reads_back = number_text::read_float(texts[i]) == float_item(k, i);
        } else {
          length = number_text::format_integer(integer_item(k, i), shortest);
          reads_back = number_text::read_integer(texts[i]) == integer_item(k, i);
        }
        if (!reads_back || (exact && texts[i] != std::wstring_view(shortest, length)))
          return "element " + std::to_string(k) + " item " + std::to_string(i) + ": " +
                 icehost::wide_to_utf8(texts[i]);
      }
    }
    return {};
  };
}

template <class Number>
void numbers_to_text(benchmark::State& state, const char* node, Row row) {
  const auto n = static_cast<ULONG>(size_of(state));
  const ULONG batch = batch_of(state);
  Evaluation evaluation;
  set_up(evaluation, plugin(node).node(), node, size_of(state), batch);
  const xsi_host::EvaluateFunction evaluate = row == Row::node ? plugin(node).evaluate()
                                              : row == Row::ideal
                                                  ? numbers_to_texts<Number, convert_fast>
                                                  : numbers_to_texts<Number, convert_snprintf>;
  time_evaluations(state, evaluation, evaluate, texts_are<Number>(row != Row::literal, n, batch),
                   static_cast<double>(batch) * n, "per_item");
}

const bool registered = [] {
  register_rows("vireth", {1, 16}, [](benchmark::State& state, Row row) {
    numbers_to_text<float>(state, "vireth", row);
  });
  register_rows("tamsel", {1, 16}, [](benchmark::State& state, Row row) {
    numbers_to_text<std::int32_t>(state, "tamsel", row);
  });
  return true;
}();

}  // namespace
}  // namespace bench
