// regexmatch, regexextract and regexreplace: a constant pattern (the node's default, the same
// text in every element) beside texts that differ from one element to the next. Beside each
// node:
//  * the ideal: a callback that compiles the pattern of element 0 once, before the walk, and for
//    each element makes the host calls the node makes (each input of the element read, its
//    result written) and calls the engine directly (text_regex::Pattern, the same engine with
//    the same bound). What the node spends beyond it is the frame's and the per-call state's:
//    reading each element's pattern and telling that it is the one compiled;
//  * the literal: the same, the pattern compiled anew at every element, as a node without a
//    per-call state would.
// Sizes: texts as short as they come (0), and of 64 and 1,000 characters (node_inputs.h).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "bench_host.h"
#include "text_regex/text_regex.h"

namespace bench {
namespace {

using xsi_host::Evaluation;
using xsi_host::Value;

// The output and the inputs (ids 0 up, of the types given) acquired, the elements of the range
// index set visited with the pattern of element k (compiled once, or at each element when
// literal), everything released in reverse order.
template <bool literal, std::size_t Inputs, class Visit>
XSI::CStatus each_element(XSI::ICENodeContext& context, ULONG output_type,
                          const ULONG (&input_types)[Inputs], Visit&& visit) {
  XSI::CBaseDataArray out;
  XSI::CBaseDataArray in[Inputs];
  context.AcquireOutputDataArray(out, output_type);
  for (ULONG i = 0; i < Inputs; ++i) context.AcquireInputDataArray(in[i], input_types[i], i, 0);
  XSI::CIndexSet set;
  context.AcquireIndexSet(set);
  const ULONG elements = set.GetCount();
  std::optional<text_regex::Pattern> once;
  for (ULONG k = 0; k < elements; ++k) {
    const std::wstring_view pattern_text = text_at(context, in[1], k);
    if (literal) {
      visit(out, in, k, text_regex::Pattern(pattern_text));
    } else {
      if (!once) once.emplace(pattern_text);
      visit(out, in, k, *once);
    }
  }
  context.ReleaseIndexSet(set);
  for (ULONG i = Inputs; i-- > 0;) context.ReleaseDataArray(in[i]);
  context.ReleaseDataArray(out);
  return XSI::CStatus::OK;
}

template <bool literal>
XSI::CStatus regexmatch_callback(XSI::ICENodeContext& c) {
  const ULONG inputs[] = {kText, kText};
  return each_element<literal>(c, kBoolean, inputs,
                               [&](auto& out, auto* in, ULONG k, const auto& pattern) {
                                 c.SetBooleanData(out, k, pattern.matches(text_at(c, in[0], k)));
                               });
}

template <bool literal>
XSI::CStatus regexextract_callback(XSI::ICENodeContext& c) {
  const ULONG inputs[] = {kText, kText, kInteger};
  return each_element<literal>(
      c, kText, inputs, [&](auto& out, auto* in, ULONG k, const auto& pattern) {
        const auto* group = static_cast<const std::int32_t*>(in[2].GetData());
        write_text(c, out, k, pattern.extract(text_at(c, in[0], k), group[k]));
      });
}

template <bool literal>
XSI::CStatus regexreplace_callback(XSI::ICENodeContext& c) {
  const ULONG inputs[] = {kText, kText, kText, kBoolean};
  return each_element<literal>(
      c, kText, inputs, [&](auto& out, auto* in, ULONG k, const auto& pattern) {
        const auto* words = static_cast<const ULONG*>(in[3].GetData());
        const bool all = (words[k / 32] >> (k % 32) & 1u) != 0;
        write_text(c, out, k,
                   pattern.replace(text_at(c, in[0], k), text_at(c, in[2], k), all).view());
      });
}

// ---- The benchmarks --------------------------------------------------------------------

std::wstring text_of(Evaluation& e, ULONG port, ULONG k) {
  return std::get<std::wstring>(e.port(port)->value(k));
}

// What element k of the node's output must hold: its pattern compiled for it alone.
Value expected(Evaluation& e, std::string_view node, ULONG k) {
  const text_regex::Pattern pattern(text_of(e, 1, k));
  const std::wstring text = text_of(e, 0, k);
  if (node == "regexmatch") return pattern.matches(text);
  if (node == "regexextract")
    return std::wstring(pattern.extract(text, std::get<std::int32_t>(e.port(2)->value(k))));
  return std::wstring(
      pattern.replace(text, text_of(e, 2, k), std::get<bool>(e.port(3)->value(k))).view());
}

constexpr Callbacks kCallbacks[] = {
    {"regexmatch", regexmatch_callback<false>, regexmatch_callback<true>},
    {"regexextract", regexextract_callback<false>, regexextract_callback<true>},
    {"regexreplace", regexreplace_callback<false>, regexreplace_callback<true>},
};

const bool registered = [] {
  const Holds holds = [](Evaluation& e, std::string_view node, ULONG k) {
    return e.port(200)->value(k) == expected(e, node, k);
  };
  for (const Callbacks& callbacks : kCallbacks)
    register_node_rows(callbacks, {0, 64, 1'000}, holds);
  return true;
}();

}  // namespace
}  // namespace bench
