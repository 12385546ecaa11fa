// regexmatch, regexextract, regexreplace, regexsplit and regexfindall: a constant pattern (the
// node's default, the same text in every element) beside texts that differ from one element to
// the next. Beside each node:
//  * the ideal: a callback that compiles the pattern of element 0 once, before the walk, and for
//    each element makes the host calls the node makes (each input of the element read, its
//    result written) and calls the engine directly (text_regex::Pattern, the same engine with
//    the same bound). What the node spends beyond it is the frame's and the per-call state's:
//    reading each element's pattern and telling that it is the one compiled;
//  * the literal: the same, the pattern compiled anew at every element, as a node without a
//    per-call state would.
// Sizes: texts as short as they come (0), and of 64 and 1,000 characters (node_inputs.h).
//
// Ordinary text, beside the old engine: lines of English prose of about 33 characters, each
// element its own line, and a pattern of the kind ordinary use has (regexmatch f[aeiou]x,
// regexextract (\w+) the and group 1, regexreplace \bthe\b by "THE", every match, regexsplit
// \W+, the words, and regexfindall \w+ and group 0, every word). Beside the
// node and its ideal, boost: the ideal's callback with the pattern compiled for Boost.Regex alone
// (text_regex::Pattern::on_boost), as the room matched every pattern before its automata; and
// boost beside the sizes above too.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "bench_host.h"
#include "evaluation_setup.h"
#include "text_regex/text_regex.h"

namespace bench {
namespace {

using xsi_host::Evaluation;
using xsi_host::Value;

// The items of element k of an array of texts: sized, then each text sized and set.
void write_texts(XSI::ICENodeContext& context, XSI::CBaseDataArray2D& out, ULONG k,
                 const std::vector<std::wstring_view>& texts) {
  void* items = nullptr;
  ULONG count = 0, item_size = 0;
  context.ResizeSubArray(out, k, static_cast<ULONG>(texts.size()), items, count, item_size);
  for (ULONG i = 0; i < texts.size(); ++i) {
    wchar_t* buffer = nullptr;
    const auto length = static_cast<ULONG>(texts[i].size());
    context.ResizeStringData2D(out, k, i, length, buffer);
    context.SetStringData2D(out, k, i, texts[i].data(), length);
  }
}

// The pieces of text between the matches of pattern, as regexsplit promises them, into pieces.
void split(const text_regex::Pattern& pattern, std::wstring_view text,
           std::vector<std::wstring_view>& pieces) {
  pieces.clear();
  text_regex::Matches each(pattern, text);
  std::size_t from = 0;
  while (each.next()) {
    pieces.push_back(text.substr(from, each.start() - from));
    from = each.end();
  }
  if (each.gave_up()) return pieces.assign(1, text);
  pieces.push_back(text.substr(from));
}

// Group group of every match of pattern in text, as regexfindall promises them, into found.
void find_all(const text_regex::Pattern& pattern, std::wstring_view text, std::int32_t group,
              std::vector<std::wstring_view>& found) {
  found.clear();
  if (group < 0) return;
  text_regex::Matches each(pattern, text);
  while (each.next()) {
    if (static_cast<std::size_t>(group) >= each.groups()) return found.clear();
    found.push_back(each.group(static_cast<std::size_t>(group)));
  }
  if (each.gave_up()) found.clear();
}

// How a callback compiles its pattern: once, for the room's engine, at each element (literal),
// or once, for Boost alone (the old engine).
enum class Compile { once, literal, boost };

// The output (one value or, for Output CBaseDataArray2D, an array per element) and the inputs
// (ids 0 up, of the types given) acquired, the elements of the range index set visited with the
// pattern of element k (compiled once, or at each element when literal), everything released in
// reverse order.
template <Compile how, class Output = XSI::CBaseDataArray, std::size_t Inputs, class Visit>
XSI::CStatus each_element(XSI::ICENodeContext& context, ULONG output_type,
                          const ULONG (&input_types)[Inputs], Visit&& visit) {
  Output out;
  XSI::CBaseDataArray in[Inputs];
  if constexpr (std::is_same_v<Output, XSI::CBaseDataArray>)
    context.AcquireOutputDataArray(out, output_type);
  else
    context.AcquireOutputDataArray2D(out, output_type);
  for (ULONG i = 0; i < Inputs; ++i) context.AcquireInputDataArray(in[i], input_types[i], i, 0);
  XSI::CIndexSet set;
  context.AcquireIndexSet(set);
  const ULONG elements = set.GetCount();
  std::optional<text_regex::Pattern> once;
  for (ULONG k = 0; k < elements; ++k) {
    const std::wstring_view pattern_text = text_at(context, in[1], k);
    if (how == Compile::literal) {
      visit(out, in, k, text_regex::Pattern(pattern_text));
    } else {
      if (!once)
        once.emplace(how == Compile::boost ? text_regex::Pattern::on_boost(pattern_text)
                                           : text_regex::Pattern(pattern_text));
      visit(out, in, k, *once);
    }
  }
  context.ReleaseIndexSet(set);
  for (ULONG i = Inputs; i-- > 0;) context.ReleaseDataArray(in[i]);
  context.ReleaseDataArray(out);
  return XSI::CStatus::OK;
}

template <Compile how>
XSI::CStatus regexmatch_callback(XSI::ICENodeContext& c) {
  const ULONG inputs[] = {kText, kText};
  return each_element<how>(c, kBoolean, inputs,
                           [&](auto& out, auto* in, ULONG k, const auto& pattern) {
                             c.SetBooleanData(out, k, pattern.matches(text_at(c, in[0], k)));
                           });
}

template <Compile how>
XSI::CStatus regexextract_callback(XSI::ICENodeContext& c) {
  const ULONG inputs[] = {kText, kText, kInteger};
  return each_element<how>(c, kText, inputs,
                           [&](auto& out, auto* in, ULONG k, const auto& pattern) {
                             const auto* group = static_cast<const std::int32_t*>(in[2].GetData());
                             write_text(c, out, k, pattern.extract(text_at(c, in[0], k), group[k]));
                           });
}

template <Compile how>
XSI::CStatus regexreplace_callback(XSI::ICENodeContext& c) {
  const ULONG inputs[] = {kText, kText, kText, kBoolean};
  return each_element<how>(
      c, kText, inputs, [&](auto& out, auto* in, ULONG k, const auto& pattern) {
        const auto* words = static_cast<const ULONG*>(in[3].GetData());
        const bool all = (words[k / 32] >> (k % 32) & 1u) != 0;
        write_text(c, out, k,
                   pattern.replace(text_at(c, in[0], k), text_at(c, in[2], k), all).view());
      });
}

template <Compile how>
XSI::CStatus regexsplit_callback(XSI::ICENodeContext& c) {
  const ULONG inputs[] = {kText, kText};
  std::vector<std::wstring_view> pieces;
  return each_element<how, XSI::CBaseDataArray2D>(
      c, kText, inputs, [&](auto& out, auto* in, ULONG k, const auto& pattern) {
        split(pattern, text_at(c, in[0], k), pieces);
        write_texts(c, out, k, pieces);
      });
}

template <Compile how>
XSI::CStatus regexfindall_callback(XSI::ICENodeContext& c) {
  const ULONG inputs[] = {kText, kText, kInteger};
  std::vector<std::wstring_view> found;
  return each_element<how, XSI::CBaseDataArray2D>(
      c, kText, inputs, [&](auto& out, auto* in, ULONG k, const auto& pattern) {
        const auto* group = static_cast<const std::int32_t*>(in[2].GetData());
        find_all(pattern, text_at(c, in[0], k), group[k], found);
        write_texts(c, out, k, found);
      });
}

// ---- The benchmarks --------------------------------------------------------------------

std::wstring text_of(Evaluation& e, ULONG port, ULONG k) {
  return std::get<std::wstring>(e.port(port)->value(k));
}

// Whether element k of the node's output holds what its pattern, compiled for it alone, gives.
bool holds_expected(Evaluation& e, std::string_view node, ULONG k) {
  const text_regex::Pattern pattern(text_of(e, 1, k));
  const std::wstring text = text_of(e, 0, k);
  // A one-value output's element k; read for the nodes that have one.
  const auto got = [&] { return e.port(200)->value(k); };
  if (node == "regexmatch") return got() == Value(pattern.matches(text));
  if (node == "regexextract")
    return got() ==
           Value(std::wstring(pattern.extract(text, std::get<std::int32_t>(e.port(2)->value(k)))));
  if (node == "regexreplace")
    return got() == Value(std::wstring(
                        pattern.replace(text, text_of(e, 2, k), std::get<bool>(e.port(3)->value(k)))
                            .view()));
  std::vector<std::wstring_view> items;
  if (node == "regexsplit")
    split(pattern, text, items);
  else
    find_all(pattern, text, std::get<std::int32_t>(e.port(2)->value(k)), items);
  return texts_of(*e.port(200), k) == std::vector<std::wstring>(items.begin(), items.end());
}

struct RegexCallbacks {
  std::string_view node;
  xsi_host::EvaluateFunction ideal;
  xsi_host::EvaluateFunction literal;
  xsi_host::EvaluateFunction boost;
  // On prose: the pattern, and the group or the replacement.
  std::wstring_view prose_pattern;
};

constexpr RegexCallbacks kCallbacks[] = {
    {"regexmatch", regexmatch_callback<Compile::once>, regexmatch_callback<Compile::literal>,
     regexmatch_callback<Compile::boost>, L"f[aeiou]x"},
    {"regexextract", regexextract_callback<Compile::once>, regexextract_callback<Compile::literal>,
     regexextract_callback<Compile::boost>, L"(\\w+) the"},
    {"regexreplace", regexreplace_callback<Compile::once>, regexreplace_callback<Compile::literal>,
     regexreplace_callback<Compile::boost>, L"\\bthe\\b"},
    {"regexsplit", regexsplit_callback<Compile::once>, regexsplit_callback<Compile::literal>,
     regexsplit_callback<Compile::boost>, L"\\W+"},
    {"regexfindall", regexfindall_callback<Compile::once>, regexfindall_callback<Compile::literal>,
     regexfindall_callback<Compile::boost>, L"\\w+"},
};

// Lines of prose of about 33 characters: a long text of words cut at the first space past each
// 30 characters.
const std::vector<std::wstring>& prose_lines() {
  static const std::vector<std::wstring> lines = [] {
    const std::wstring text = words(500'000, 33);
    std::vector<std::wstring> cut;
    for (std::size_t at = 0; cut.size() < 10'000;) {
      const std::size_t space = text.find(L' ', at + 30);
      cut.push_back(text.substr(at, space - at));
      at = space + 1;
    }
    return cut;
  }();
  return lines;
}

// The ports at their defaults over batch elements, element k's text prose line k, the pattern the
// node's prose pattern; regexextract's group 1, regexreplace's replacement "THE", every match;
// regexfindall's group 0.
void set_up_prose(Evaluation& evaluation, const RegexCallbacks& callbacks, ULONG batch) {
  const std::string node(callbacks.node);
  icehost::declare_ports(evaluation, plugin(node).node(), batch);
  const std::vector<std::wstring>& lines = prose_lines();
  for (ULONG k = 0; k < batch; ++k) {
    evaluation.port(0)->set_text(k, lines[k % lines.size()]);
    evaluation.port(1)->set_text(k, callbacks.prose_pattern);
    if (node == "regexextract") evaluation.port(2)->set_integer(k, 1);
    if (node == "regexfindall") evaluation.port(2)->set_integer(k, 0);
    if (node == "regexreplace") {
      evaluation.port(2)->set_text(k, L"THE");
      evaluation.port(3)->set_boolean(k, true);
    }
  }
}

// The rows: the node, its ideal, the literal, and boost (kept apart from Row, which the other
// benchmarks share).
enum class RegexRow { node, ideal, literal, boost };

void regex_node(benchmark::State& state, const RegexCallbacks& callbacks, RegexRow row,
                bool prose) {
  const ULONG batch = batch_of(state);
  const std::string node(callbacks.node);
  Evaluation evaluation;
  if (prose)
    set_up_prose(evaluation, callbacks, batch);
  else
    set_up(evaluation, plugin(node).node(), node, size_of(state), batch);
  const xsi_host::EvaluateFunction evaluate = row == RegexRow::node    ? plugin(node).evaluate()
                                              : row == RegexRow::ideal ? callbacks.ideal
                                              : row == RegexRow::boost ? callbacks.boost
                                                                       : callbacks.literal;
  const Check check = [&node, batch](Evaluation& e) -> std::string {
    for (ULONG k : checked_elements(batch))
      if (!holds_expected(e, node, k))
        return "element " + std::to_string(k) + " is not the expected result";
    return {};
  };
  time_evaluations(state, evaluation, evaluate, check, batch, "per_element");
}

const bool registered = [] {
  constexpr std::pair<RegexRow, const char*> rows[] = {{RegexRow::node, "node"},
                                                       {RegexRow::ideal, "ideal"},
                                                       {RegexRow::literal, "literal"},
                                                       {RegexRow::boost, "boost"}};
  for (const RegexCallbacks& callbacks : kCallbacks) {
    for (const int size : {0, 64, 1'000})
      for (const auto& [row, name] : rows)
        for (const ULONG batch : kBatches)
          benchmark::RegisterBenchmark((std::string(callbacks.node) + "/" + name).c_str(),
                                       [&callbacks, row = row](benchmark::State& state) {
                                         regex_node(state, callbacks, row, false);
                                       })
              ->Args({size, batch})
              ->Unit(benchmark::kNanosecond);
    for (const auto& [row, name] : rows)
      if (row != RegexRow::literal)
        benchmark::RegisterBenchmark((std::string(callbacks.node) + "_prose/" + name).c_str(),
                                     [&callbacks, row = row](benchmark::State& state) {
                                       regex_node(state, callbacks, row, true);
                                     })
            ->Args({33, 10'000})
            ->Unit(benchmark::kNanosecond);
  }
  return true;
}();

}  // namespace
}  // namespace bench
