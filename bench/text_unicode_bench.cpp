// textcase, texttrim, textnormalize, textmatch and textsplit: each element's result from its
// own inputs. Beside each node:
//  * the ideal: a callback that makes the same host calls element by element (each input of
//    the element read, its result written) and computes each result directly on text_unicode's
//    tables and text_search's search: the mapped text and the lower-cased texts in buffers kept
//    for the whole call, the trimmed text and the pieces written from where they lie in the
//    input, their list kept for the call too, the normal form by text_unicode::Normalized. What
//    the node spends beyond it is the frame's;
//  * the literal, for textmatch and textsplit: lower-cased copies searched by the standard
//    library (std::wstring::find), and the pieces copied out one std::wstring at a time.
// Sizes: the nodes' defaults (0), and inputs of SIZE characters (node_inputs.h).
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "bench_host.h"
#include "text_search/text_search.h"
#include "text_unicode/normalization.h"
#include "text_unicode/text_unicode.h"
#include "wildcard.h"

namespace bench {
namespace {

using xsi_host::Evaluation;
using xsi_host::Value;

// ---- The rules, done directly ----------------------------------------------------------

void map_case(std::wstring_view text, bool upper, std::wstring& into) {
  into.resize(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    into[i] = upper ? text_unicode::to_upper(text[i]) : text_unicode::to_lower(text[i]);
}

std::wstring_view trim(std::wstring_view text, std::int32_t mode) {
  std::size_t first = 0, end = text.size();
  while (mode != 2 && first < end && text_unicode::is_white_space(text[first])) ++first;
  while (mode != 1 && end > first && text_unicode::is_white_space(text[end - 1])) --end;
  return text.substr(first, end - first);
}

// With literal, the search of the standard library.
template <bool literal>
bool match(std::wstring_view text, std::wstring_view key, std::int32_t mode) {
  switch (mode) {
    case 1:
      return text.starts_with(key);
    case 2:
      return text.ends_with(key);
    case 3:
      return text == key;
    case 4:
      // Wildcards: the node's own matcher, there being no plain one to hand.
      return textmatch::matches_wildcard(text, key);
    default:
      if (literal) return text.find(key) != std::wstring_view::npos;
      return key.empty() || text_search::find_first(text, key) != text_search::npos;
  }
}

template <class Piece>
void split(std::wstring_view text, std::wstring_view delimiter, std::vector<Piece>& pieces) {
  pieces.clear();
  text_search::Occurrences occurrences(text, delimiter);
  std::size_t from = 0;
  for (std::size_t at = occurrences.next(); at != text_search::npos; at = occurrences.next()) {
    pieces.emplace_back(text.substr(from, at - from));
    from = at + delimiter.size();
  }
  pieces.emplace_back(text.substr(from));
}

std::vector<std::wstring> split_literally(const std::wstring& text, const std::wstring& delimiter) {
  std::vector<std::wstring> pieces;
  std::size_t from = 0;
  for (std::size_t at = delimiter.empty() ? std::wstring::npos : text.find(delimiter);
       at != std::wstring::npos; at = text.find(delimiter, from)) {
    pieces.push_back(text.substr(from, at - from));
    from = at + delimiter.size();
  }
  pieces.push_back(text.substr(from));
  return pieces;
}

// ---- Host calls ------------------------------------------------------------------------

bool boolean_at(XSI::CBaseDataArray& array, ULONG k) {
  const auto* words = static_cast<const ULONG*>(array.GetData());
  return (words[k / 32] >> (k % 32) & 1u) != 0;
}

std::int32_t integer_at(XSI::CBaseDataArray& array, ULONG k) {
  return static_cast<const std::int32_t*>(array.GetData())[k];
}

// The output (one value or, for Output CBaseDataArray2D, an array per element) and the one-value
// inputs, in port order, acquired; the elements of the range index set visited; everything
// released in reverse order.
template <class Output, std::size_t Inputs, class Visit>
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
  for (ULONG k = 0; k < elements; ++k) visit(out, in, k);
  context.ReleaseIndexSet(set);
  for (ULONG i = Inputs; i-- > 0;) context.ReleaseDataArray(in[i]);
  context.ReleaseDataArray(out);
  return XSI::CStatus::OK;
}

// ---- The ideal and literal callbacks ---------------------------------------------------

XSI::CStatus ideal_textcase(XSI::ICENodeContext& c) {
  const ULONG inputs[] = {kText, kBoolean};
  std::wstring mapped;
  return each_element<XSI::CBaseDataArray>(c, kText, inputs, [&](auto& out, auto* in, ULONG k) {
    map_case(text_at(c, in[0], k), boolean_at(in[1], k), mapped);
    write_text(c, out, k, mapped);
  });
}

XSI::CStatus ideal_texttrim(XSI::ICENodeContext& c) {
  const ULONG inputs[] = {kText, kInteger};
  return each_element<XSI::CBaseDataArray>(c, kText, inputs, [&](auto& out, auto* in, ULONG k) {
    write_text(c, out, k, trim(text_at(c, in[0], k), integer_at(in[1], k)));
  });
}

XSI::CStatus ideal_textnormalize(XSI::ICENodeContext& c) {
  const ULONG inputs[] = {kText, kInteger};
  return each_element<XSI::CBaseDataArray>(c, kText, inputs, [&](auto& out, auto* in, ULONG k) {
    const std::int32_t form = integer_at(in[1], k);
    const std::wstring_view text = text_at(c, in[0], k);
    if (form < 0 || form > 3) return write_text(c, out, k, text);
    write_text(c, out, k,
               text_unicode::Normalized(text, static_cast<text_unicode::NormalForm>(form)).view());
  });
}

template <bool literal>
XSI::CStatus textmatch_callback(XSI::ICENodeContext& c) {
  const ULONG inputs[] = {kText, kText, kInteger, kBoolean};
  std::wstring text, key;
  return each_element<XSI::CBaseDataArray>(c, kBoolean, inputs, [&](auto& out, auto* in, ULONG k) {
    const std::wstring_view given_text = text_at(c, in[0], k);
    const std::wstring_view given_key = text_at(c, in[1], k);
    const std::int32_t mode = integer_at(in[2], k);
    bool matched;
    if (boolean_at(in[3], k)) {
      map_case(given_text, false, text);
      map_case(given_key, false, key);
      matched = match<literal>(text, key, mode);
    } else {
      matched = match<literal>(given_text, given_key, mode);
    }
    c.SetBooleanData(out, k, matched);
  });
}

template <bool literal>
XSI::CStatus textsplit_callback(XSI::ICENodeContext& c) {
  const ULONG inputs[] = {kText, kText};
  std::vector<std::wstring_view> pieces;
  return each_element<XSI::CBaseDataArray2D>(c, kText, inputs, [&](auto& out, auto* in, ULONG k) {
    const std::wstring_view text = text_at(c, in[0], k);
    const std::wstring_view delimiter = text_at(c, in[1], k);
    std::vector<std::wstring> copies;
    if (literal) {
      copies = split_literally(std::wstring(text), std::wstring(delimiter));
      pieces.assign(copies.begin(), copies.end());
    } else {
      split(text, delimiter, pieces);
    }
    void* items = nullptr;
    ULONG count = 0, item_size = 0;
    c.ResizeSubArray(out, k, static_cast<ULONG>(pieces.size()), items, count, item_size);
    for (ULONG i = 0; i < pieces.size(); ++i) {
      wchar_t* buffer = nullptr;
      const auto length = static_cast<ULONG>(pieces[i].size());
      c.ResizeStringData2D(out, k, i, length, buffer);
      c.SetStringData2D(out, k, i, pieces[i].data(), length);
    }
  });
}

// ---- The benchmarks --------------------------------------------------------------------

std::wstring text_of(Evaluation& e, ULONG port, ULONG k) {
  return std::get<std::wstring>(e.port(port)->value(k));
}

// Whether output element k holds what its inputs give, done directly.
bool holds_expected(Evaluation& e, std::string_view node, ULONG k) {
  const Value got = e.port(200)->value(k);
  const auto integer = [&](ULONG port) { return std::get<std::int32_t>(e.port(port)->value(k)); };
  const auto flag = [&](ULONG port) { return std::get<bool>(e.port(port)->value(k)); };
  if (node == "textcase") {
    std::wstring mapped;
    map_case(text_of(e, 0, k), flag(1), mapped);
    return got == Value(mapped);
  }
  if (node == "texttrim") return got == Value(std::wstring(trim(text_of(e, 0, k), integer(1))));
  if (node == "textnormalize") {
    const std::int32_t form = integer(1);
    const std::wstring text = text_of(e, 0, k);
    if (form < 0 || form > 3) return got == Value(text);
    return got ==
           Value(std::wstring(
               text_unicode::Normalized(text, static_cast<text_unicode::NormalForm>(form)).view()));
  }
  if (node == "textmatch") {
    std::wstring text = text_of(e, 0, k), key = text_of(e, 1, k);
    if (flag(3)) map_case(std::wstring(text), false, text), map_case(std::wstring(key), false, key);
    return got == Value(match<true>(text, key, integer(2)));
  }
  return texts_of(*e.port(200), k) == split_literally(text_of(e, 0, k), text_of(e, 1, k));
}

constexpr Callbacks kCallbacks[] = {
    {"textcase", ideal_textcase, nullptr},
    {"texttrim", ideal_texttrim, nullptr},
    {"textnormalize", ideal_textnormalize, nullptr},
    {"textmatch", textmatch_callback<false>, textmatch_callback<true>},
    {"textmatch", textmatch_callback<false>, nullptr, "textmatch_wildcard", 4},
    {"textsplit", textsplit_callback<false>, textsplit_callback<true>},
};

const bool registered = [] {
  for (const Callbacks& callbacks : kCallbacks)
    register_node_rows(callbacks,
                       callbacks.literal != nullptr ? std::initializer_list<int>{0, 64, 1'000}
                                                    : std::initializer_list<int>{0, 64},
                       holds_expected);
  return true;
}();

}  // namespace
}  // namespace bench
