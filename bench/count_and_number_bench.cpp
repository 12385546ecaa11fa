// textfind's Count (201) and textnumber's Value (200) and Length (201): each element's result
// from its own inputs. Beside each:
//  * the ideal: a callback that makes the same host calls element by element (each input text of
//    the element read, its result written) and computes the result directly with what the node
//    builds on: text_search's Occurrences for the count, number_text's read_leading_float for the
//    number and its length;
//  * the literal, for the count: the standard library's search (std::wstring_view::find), each
//    search resuming where the last occurrence ended.
// Sizes: the defaults (0); for the count, replace_worst(N), many occurrences each after a near
// miss; for textnumber, number_of(N) (node_inputs.h).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

#include "bench_host.h"
#include "frame/values.h"
#include "number_text/number_text.h"
#include "text_search/text_search.h"

namespace bench {
namespace {

using xsi_host::Evaluation;
using xsi_host::Value;

std::int32_t plain_count(std::wstring_view text, std::wstring_view sub) {
  std::int32_t count = 0;
  for (std::size_t at = sub.empty() ? text.npos : text.find(sub); at != text.npos;
       at = text.find(sub, at + sub.size()))
    ++count;
  return count;
}

std::int32_t fast_count(std::wstring_view text, std::wstring_view sub) {
  text_search::Occurrences occurrences(text, sub);
  std::size_t count = 0;
  while (occurrences.next() != text_search::npos) ++count;
  return frame::as_int32(count);
}

// The output and Texts text inputs (ports 0, 1, ...) acquired; for each element k of the range
// index set, visit(out, the inputs' texts at k, k); everything released in reverse order.
template <ULONG Texts, class Visit>
XSI::CStatus each_element(XSI::ICENodeContext& context, ULONG output_type, Visit&& visit) {
  XSI::CBaseDataArray out;
  XSI::CBaseDataArray in[Texts];
  context.AcquireOutputDataArray(out, output_type);
  for (ULONG i = 0; i < Texts; ++i) context.AcquireInputDataArray(in[i], kText, i, 0);
  XSI::CIndexSet set;
  context.AcquireIndexSet(set);
  const ULONG elements = set.GetCount();
  std::wstring_view texts[Texts];
  for (ULONG k = 0; k < elements; ++k) {
    for (ULONG i = 0; i < Texts; ++i) {
      const wchar_t* data = nullptr;
      ULONG length = 0;
      context.GetStringData(in[i], k, data, length);
      texts[i] = {data, length};
    }
    visit(out, texts, k);
  }
  context.ReleaseIndexSet(set);
  for (ULONG i = Texts; i-- > 0;) context.ReleaseDataArray(in[i]);
  context.ReleaseDataArray(out);
  return XSI::CStatus::OK;
}

template <bool literal>
XSI::CStatus count_callback(XSI::ICENodeContext& c) {
  return each_element<2>(c, kInteger, [&](auto& out, const std::wstring_view* in, ULONG k) {
    c.SetIntegerData(out, k, literal ? plain_count(in[0], in[1]) : fast_count(in[0], in[1]));
  });
}

XSI::CStatus ideal_value(XSI::ICENodeContext& c) {
  return each_element<1>(c, kFloat, [&](auto& out, const std::wstring_view* in, ULONG k) {
    c.SetFloatData(out, k, number_text::read_leading_float(in[0]).value);
  });
}

XSI::CStatus ideal_length(XSI::ICENodeContext& c) {
  return each_element<1>(c, kInteger, [&](auto& out, const std::wstring_view* in, ULONG k) {
    const std::size_t length = number_text::read_leading_float(in[0]).length;
    c.SetIntegerData(out, k, static_cast<std::int32_t>(std::min<std::size_t>(length, 2147483647)));
  });
}

struct Measured {
  const char* name;  // as the benchmarks are named
  const char* node;
  ULONG pulled;
  xsi_host::EvaluateFunction ideal;
  xsi_host::EvaluateFunction literal;
};

const Measured kMeasured[] = {
    {"textfind_count", "textfind", 201, count_callback<false>, count_callback<true>},
    {"textnumber", "textnumber", 200, ideal_value, nullptr},
    {"textnumber_length", "textnumber", 201, ideal_length, nullptr},
};

std::wstring text_of(Evaluation& e, ULONG port, ULONG k) {
  return std::get<std::wstring>(e.port(port)->value(k));
}

// What element k of the pulled output must hold, from its inputs, done the plain way.
Value expected(Evaluation& e, const Measured& measured, ULONG k) {
  if (measured.pulled == 201 && std::string_view(measured.node) == "textfind")
    return plain_count(text_of(e, 0, k), text_of(e, 1, k));
  const std::wstring text = text_of(e, 0, k);
  std::string narrow(text.begin(), text.end());
  char* end = nullptr;
  const float value = std::strtof(narrow.c_str(), &end);
  if (measured.pulled == 201) return static_cast<std::int32_t>(end - narrow.c_str());
  return value;
}

void measure(benchmark::State& state, const Measured& measured, Row row) {
  const ULONG batch = batch_of(state);
  const std::string node = measured.node;
  Evaluation evaluation;
  set_up(evaluation, plugin(node).node(), node, size_of(state), batch, measured.pulled);
  const xsi_host::EvaluateFunction evaluate = row == Row::node    ? plugin(node).evaluate()
                                              : row == Row::ideal ? measured.ideal
                                                                  : measured.literal;
  const Check check = [&measured, batch](Evaluation& e) -> std::string {
    for (ULONG k : checked_elements(batch))
      if (e.port(measured.pulled)->value(k) != expected(e, measured, k))
        return "element " + std::to_string(k) + " is not the expected result";
    return {};
  };
  time_evaluations(state, evaluation, evaluate, check, batch, "per_element");
}

void register_sizes(const Measured& measured, std::initializer_list<int> sizes) {
  const auto run = [&measured](benchmark::State& state, Row row) { measure(state, measured, row); };
  const auto wanted = [&measured](Row row, int) {
    return row != Row::literal || measured.literal != nullptr;
  };
  register_rows(measured.name, sizes, run, wanted);
}

const bool registered = [] {
  register_sizes(kMeasured[0], {0, 64, 1'000});
  register_sizes(kMeasured[1], {0, 16});
  register_sizes(kMeasured[2], {0, 16});
  return true;
}();

}  // namespace
}  // namespace bench
