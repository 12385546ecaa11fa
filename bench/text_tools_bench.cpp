// textlength, textfind, textreplace, textslice and textjoin: each element's result from its own
// inputs. Beside each node:
//  * the ideal: a callback that makes the same host calls element by element (each input of
//    the element read, its result written) and computes each result directly: the count or the
//    position as it comes (the same linear search, text_search; characters counted as
//    text_unicode counts them, a pair one where texts are UTF-16), the replacement and the join
//    built in one buffer kept for the whole call, the slice written from where it lies in the
//    input. The inputs differ from one element to the next, so no result can be made before the
//    call without reading them: what the node spends beyond its ideal is the frame's;
//  * the literal, for textfind and textreplace: the standard library's search
//    (std::wstring_view::find), and the replacement made in place in a copy of the text, each
//    search resuming after the last replacement.
// Sizes: the nodes' defaults (0), and inputs of SIZE characters (textjoin: SIZE texts), the
// same in every element (node_inputs.h).
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bench_host.h"
#include "frame/values.h"
#include "plain_replace.h"
#include "text_search/text_search.h"
#include "text_unicode/characters.h"

namespace bench {
namespace {

using xsi_host::Evaluation;
using xsi_host::Value;

// ---- The rules, done the plain way: the literal rows and the checks ----------------------

std::int32_t plain_find(std::wstring_view text, std::wstring_view sub) {
  const std::size_t at = sub.empty() ? std::wstring_view::npos : text.find(sub);
  return at == std::wstring_view::npos ? -1 : static_cast<std::int32_t>(at);
}

// The inputs have no surrogates: each wchar_t is a character on every platform.
std::wstring_view plain_slice(std::wstring_view text, std::int32_t start, std::int32_t length) {
  const auto size = static_cast<std::int64_t>(text.size());
  const std::int64_t first = std::clamp<std::int64_t>(start < 0 ? size + start : start, 0, size);
  const std::int64_t count =
      length < 0 ? size - first : std::min<std::int64_t>(length, size - first);
  return text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count));
}

// The slice as the node must cut it where a text may hold surrogate pairs: its positions past
// whole characters.
std::wstring_view character_slice(std::wstring_view text, std::int32_t start, std::int32_t length) {
  std::size_t first = 0;
  if (start >= 0) {
    first = text_unicode::advance(text, 0, static_cast<std::size_t>(start));
  } else {
    const std::size_t size = text_unicode::count_characters(text);
    const auto back = static_cast<std::size_t>(-static_cast<std::int64_t>(start));
    first = back >= size ? 0 : text_unicode::advance(text, 0, size - back);
  }
  const std::size_t end =
      length < 0 ? text.size()
                 : text_unicode::advance(text, first, static_cast<std::size_t>(length));
  return text.substr(first, end - first);
}

// ---- The ideal and literal callbacks ---------------------------------------------------

XSI::CStatus ideal_textlength(XSI::ICENodeContext& c) {
  const std::pair<ULONG, bool> inputs[] = {{kText, false}};
  return each_element(c, kInteger, inputs, [&](auto& out, auto* in, auto*, ULONG k) {
    c.SetIntegerData(
        out, k, static_cast<std::int32_t>(text_unicode::count_characters(text_at(c, in[0], k))));
  });
}

template <bool literal>
XSI::CStatus textfind_callback(XSI::ICENodeContext& c) {
  const std::pair<ULONG, bool> inputs[] = {{kText, false}, {kText, false}};
  return each_element(c, kInteger, inputs, [&](auto& out, auto* in, auto*, ULONG k) {
    const std::wstring_view text = text_at(c, in[0], k);
    const std::wstring_view sub = text_at(c, in[1], k);
    if (literal) {
      c.SetIntegerData(out, k, plain_find(text, sub));
      return;
    }
    const std::size_t at = text_search::find_first(text, sub);
    c.SetIntegerData(out, k,
                     at == text_search::npos
                         ? -1
                         : frame::as_int32(text_unicode::count_characters(text.substr(0, at))));
  });
}

template <bool literal>
XSI::CStatus textreplace_callback(XSI::ICENodeContext& c) {
  const std::pair<ULONG, bool> inputs[] = {
      {kText, false}, {kText, false}, {kText, false}, {kBoolean, false}};
  std::wstring result;
  return each_element(c, kText, inputs, [&](auto& out, auto* in, auto*, ULONG k) {
    const std::wstring_view text = text_at(c, in[0], k);
    const std::wstring_view find = text_at(c, in[1], k);
    const std::wstring_view with = text_at(c, in[2], k);
    const auto* words = static_cast<const ULONG*>(in[3].GetData());
    const bool all = (words[k / 32] >> (k % 32) & 1u) != 0;
    if (literal) {
      write_text(c, out, k, tests::replaced_in_place(std::wstring(text), find, with, all));
      return;
    }
    result.clear();
    text_search::Occurrences occurrences(text, find);
    std::size_t kept = 0;
    for (std::size_t at = occurrences.next(); at != text_search::npos;
         at = all ? occurrences.next() : text_search::npos) {
      result.append(text.substr(kept, at - kept)).append(with);
      kept = at + find.size();
    }
    result.append(text.substr(kept));
    write_text(c, out, k, result);
  });
}

XSI::CStatus ideal_textslice(XSI::ICENodeContext& c) {
  const std::pair<ULONG, bool> inputs[] = {{kText, false}, {kInteger, false}, {kInteger, false}};
  return each_element(c, kText, inputs, [&](auto& out, auto* in, auto*, ULONG k) {
    const auto* start = static_cast<const std::int32_t*>(in[1].GetData());
    const auto* length = static_cast<const std::int32_t*>(in[2].GetData());
    write_text(c, out, k, character_slice(text_at(c, in[0], k), start[k], length[k]));
  });
}

XSI::CStatus ideal_textjoin(XSI::ICENodeContext& c) {
  const std::pair<ULONG, bool> inputs[] = {{kText, true}, {kText, false}};
  std::wstring joined;
  return each_element(c, kText, inputs, [&](auto& out, auto* in, auto* arrays, ULONG k) {
    const void* unused = nullptr;
    ULONG count = 0;
    ULONG item_size = 0;
    c.GetSubArray(arrays[0], k, unused, count, item_size);
    const std::wstring_view delimiter = text_at(c, in[1], k);
    joined.clear();
    for (ULONG j = 0; j < count; ++j) {
      const wchar_t* data = nullptr;
      ULONG length = 0;
      c.GetStringData2D(arrays[0], k, j, data, length);
      if (j > 0) joined.append(delimiter);
      joined.append(data, length);
    }
    write_text(c, out, k, joined);
  });
}

// ---- The benchmarks --------------------------------------------------------------------

std::wstring text_of(Evaluation& e, ULONG port, ULONG k) {
  return std::get<std::wstring>(e.port(port)->value(k));
}

// What element k of the node's output must hold, from its inputs, done the plain way.
Value expected(Evaluation& e, std::string_view node, ULONG k) {
  if (node == "textlength") return static_cast<std::int32_t>(text_of(e, 0, k).size());
  if (node == "textfind") return plain_find(text_of(e, 0, k), text_of(e, 1, k));
  if (node == "textreplace")
    return tests::replaced_in_place(text_of(e, 0, k), text_of(e, 1, k), text_of(e, 2, k),
                                    std::get<bool>(e.port(3)->value(k)));
  if (node == "textslice")
    return std::wstring(plain_slice(text_of(e, 0, k), std::get<std::int32_t>(e.port(1)->value(k)),
                                    std::get<std::int32_t>(e.port(2)->value(k))));
  const std::vector<std::wstring> texts = texts_of(*e.port(0), k);
  const std::wstring delimiter = text_of(e, 1, k);
  std::wstring joined;
  for (std::size_t j = 0; j < texts.size(); ++j)
    joined += (j > 0 ? delimiter : std::wstring()) + texts[j];
  return joined;
}

constexpr Callbacks kCallbacks[] = {
    {"textlength", ideal_textlength, nullptr},
    {"textfind", textfind_callback<false>, textfind_callback<true>},
    {"textreplace", textreplace_callback<false>, textreplace_callback<true>},
    {"textslice", ideal_textslice, nullptr},
    {"textjoin", ideal_textjoin, nullptr},
};

// textfind on ordinary text (node_inputs.h: words), each needle at 1,000 characters per element
// over 10,000 elements and in one element of 10,000,000 characters, beside the ideal and the
// literal, std::wstring_view::find, on the same texts.
void textfind_ordinary(benchmark::State& state, Row row, std::wstring_view needle) {
  const ULONG batch = batch_of(state);
  Evaluation evaluation;
  set_up_ordinary(evaluation, plugin("textfind").node(), static_cast<std::size_t>(size_of(state)),
                  batch, needle);
  const xsi_host::EvaluateFunction evaluate = row == Row::node    ? plugin("textfind").evaluate()
                                              : row == Row::ideal ? textfind_callback<false>
                                                                  : textfind_callback<true>;
  const Check check = [batch](Evaluation& e) -> std::string {
    for (ULONG k : checked_elements(batch))
      if (e.port(200)->value(k) != expected(e, "textfind", k))
        return "element " + std::to_string(k) + " is not the expected result";
    return {};
  };
  time_evaluations(state, evaluation, evaluate, check, batch, "per_element");
}

const bool registered = [] {
  constexpr std::pair<Row, const char*> rows[] = {
      {Row::node, "node"}, {Row::ideal, "ideal"}, {Row::literal, "literal"}};
  for (const Needle& needle : kOrdinaryNeedles)
    for (const auto& [characters, batch] : {std::pair{1'000, 10'000}, std::pair{10'000'000, 1}})
      for (const auto& [row, name] : rows)
        benchmark::RegisterBenchmark(("textfind_" + std::string(needle.name) + "/" + name).c_str(),
                                     [row = row, text = needle.text](benchmark::State& state) {
                                       textfind_ordinary(state, row, text);
                                     })
            ->Args({characters, batch})
            ->Unit(benchmark::kNanosecond);

  const Holds holds = [](Evaluation& e, std::string_view node, ULONG k) {
    return e.port(200)->value(k) == expected(e, node, k);
  };
  for (const Callbacks& callbacks : kCallbacks) {
    if (callbacks.node == "textjoin")
      register_node_rows(callbacks, {0, 16}, holds);
    else if (callbacks.literal != nullptr)
      register_node_rows(callbacks, {0, 64, 1'000}, holds);
    else
      register_node_rows(callbacks, {0, 64}, holds);
  }
  return true;
}();

}  // namespace
}  // namespace bench
