// textpath, texthash, textchar and textsort: each element's result from its own inputs. Beside
// each node, the ideal: a callback that makes the same host calls element by element (each input
// of the element read, its result written) and computes the result directly: the path's parts
// found with std::wstring_view's searches; the UTF-8 form in a buffer kept for the whole call,
// hashed at once by xxHash; the characters in a buffer kept for the call; the texts read into a
// list kept for the call, their indices sorted by the node's own comparison (text_order.h), each
// sized and set in the output's sub-array. What the node spends beyond it is the frame's.
// Sizes: the nodes' defaults (0), and inputs of SIZE characters, codes or texts (node_inputs.h).
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "bench_host.h"
#include "text_order.h"
#include "text_unicode/characters.h"

#define XXH_INLINE_ALL
#define XXH_NO_LONG_LONG
#include <xxhash.h>

namespace bench {
namespace {

using xsi_host::Evaluation;
using xsi_host::Value;

// ---- The rules, done directly ----------------------------------------------------------

constexpr std::wstring_view kSeparators = L"/\\";

// ntpath.splitdrive's length of the drive.
std::size_t drive_of(std::wstring_view path) {
  if (path.size() < 2) return 0;
  const auto separator = [&](std::size_t at) { return path[at] == L'/' || path[at] == L'\\'; };
  if (separator(0) && separator(1)) {
    // "\\?\UNC\", either separator, UNC in either case.
    const bool long_unc = path.size() >= 8 && path[2] == L'?' && separator(3) && separator(7) &&
                          (path[4] | 32) == L'u' && (path[5] | 32) == L'n' &&
                          (path[6] | 32) == L'c';
    const std::size_t server = path.find_first_of(kSeparators, long_unc ? 8 : 2);
    if (server == std::wstring_view::npos) return path.size();
    return std::min(path.find_first_of(kSeparators, server + 1), path.size());
  }
  const std::size_t first = text_unicode::character_at(path, 0).units;
  return first < path.size() && path[first] == L':' ? first + 1 : 0;
}

// The directory and the name, as ntpath.split gives them.
std::pair<std::wstring_view, std::wstring_view> split_path(std::wstring_view path) {
  const std::size_t drive = drive_of(path);
  const std::size_t last = path.find_last_of(kSeparators);
  const std::size_t name = last == std::wstring_view::npos || last < drive ? drive : last + 1;
  std::size_t end = name;  // where no character but separators lies between the drive and name
  if (name > drive) {
    const std::size_t kept = path.find_last_not_of(kSeparators, name - 1);
    if (kept != std::wstring_view::npos && kept >= drive) end = kept + 1;
  }
  return {path.substr(0, end), path.substr(name)};
}

// The extension of a name, as ntpath.splitext gives it.
std::wstring_view extension_of(std::wstring_view name) {
  const std::size_t dot = name.rfind(L'.');
  if (dot == std::wstring_view::npos || name.find_first_not_of(L'.') >= dot) return {};
  return name.substr(dot);
}

// The UTF-8 form of a text's characters, a lone surrogate as U+FFFD, into bytes.
void utf8_of(std::wstring_view text, std::string& bytes) {
  bytes.clear();
  for (std::size_t at = 0; at < text.size();) {
    const text_unicode::Character character = text_unicode::character_at(text, at);
    at += character.units;
    char32_t code = character.code;
    if (code < 0x80) {
      bytes += static_cast<char>(code);
      continue;
    }
    if (text_unicode::is_surrogate(code) || code > text_unicode::kLastCodePoint)
      code = text_unicode::kReplacement;
    if (code < 0x800) {
      bytes += static_cast<char>(0xC0 | code >> 6);
    } else if (code < 0x10000) {
      bytes += static_cast<char>(0xE0 | code >> 12);
      bytes += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    } else {
      bytes += static_cast<char>(0xF0 | code >> 18);
      bytes += static_cast<char>(0x80 | (code >> 12 & 0x3F));
      bytes += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    }
    bytes += static_cast<char>(0x80 | (code & 0x3F));
  }
}

std::uint32_t hash_of(std::wstring_view text, std::int32_t seed, std::string& bytes) {
  utf8_of(text, bytes);
  return XXH32(bytes.data(), bytes.size(), static_cast<std::uint32_t>(seed));
}

void characters_of(const std::int32_t* codes, ULONG count, std::wstring& text) {
  text.resize(2 * std::size_t{count});
  std::size_t written = 0;
  for (ULONG i = 0; i < count; ++i) {
    auto code = static_cast<char32_t>(codes[i]);
    if (code > text_unicode::kLastCodePoint || text_unicode::is_surrogate(code))
      code = text_unicode::kReplacement;
    written += text_unicode::encode(code, text.data() + written);
  }
  text.resize(written);
}

void sort_indices(const std::vector<std::wstring_view>& texts, textsort::Ordering ordering,
                  std::vector<std::int32_t>& order) {
  order.resize(texts.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](std::int32_t x, std::int32_t y) {
    const int by_text = textsort::compare_texts(texts[static_cast<std::size_t>(x)],
                                                texts[static_cast<std::size_t>(y)], ordering);
    return by_text != 0 ? by_text < 0 : x < y;
  });
}

// ---- Host calls ------------------------------------------------------------------------

bool boolean_at(XSI::CBaseDataArray& array, ULONG k) {
  const auto* words = static_cast<const ULONG*>(array.GetData());
  return (words[k / 32] >> (k % 32) & 1u) != 0;
}

// ---- The ideal callbacks ---------------------------------------------------------------

template <bool extension>
XSI::CStatus ideal_textpath(XSI::ICENodeContext& c) {
  const std::pair<ULONG, bool> inputs[] = {{kText, false}};
  return each_element<XSI::CBaseDataArray>(
      c, kText, inputs, [&](auto& out, auto* in, auto*, ULONG k) {
        const auto [directory, name] = split_path(text_at(c, in[0], k));
        write_text(c, out, k, extension ? extension_of(name) : directory);
      });
}

template <bool random>
XSI::CStatus ideal_texthash(XSI::ICENodeContext& c) {
  const std::pair<ULONG, bool> inputs[] = {{kText, false}, {kInteger, false}};
  std::string bytes;
  return each_element<XSI::CBaseDataArray>(
      c, random ? kFloat : kInteger, inputs, [&](auto& out, auto* in, auto*, ULONG k) {
        const std::int32_t seed = static_cast<const std::int32_t*>(in[1].GetData())[k];
        const std::uint32_t hash = hash_of(text_at(c, in[0], k), seed, bytes);
        if (random)
          c.SetFloatData(out, k, static_cast<float>(hash >> 8) / 16777216.0f);
        else
          c.SetIntegerData(out, k, static_cast<std::int32_t>(hash));
      });
}

XSI::CStatus ideal_textchar(XSI::ICENodeContext& c) {
  const std::pair<ULONG, bool> inputs[] = {{kInteger, true}};
  std::wstring text;
  return each_element<XSI::CBaseDataArray>(
      c, kText, inputs, [&](auto& out, auto*, auto* arrays, ULONG k) {
        const void* items = nullptr;
        ULONG count = 0, item_size = 0;
        c.GetSubArray(arrays[0], k, items, count, item_size);
        characters_of(static_cast<const std::int32_t*>(items), count, text);
        write_text(c, out, k, text);
      });
}

template <bool order_pulled>
XSI::CStatus ideal_textsort(XSI::ICENodeContext& c) {
  const std::pair<ULONG, bool> inputs[] = {{kText, true}, {kBoolean, false}, {kBoolean, false}};
  std::vector<std::wstring_view> texts;
  std::vector<std::int32_t> order;
  return each_element<XSI::CBaseDataArray2D>(
      c, order_pulled ? kInteger : kText, inputs, [&](auto& out, auto* in, auto* arrays, ULONG k) {
        const void* unused = nullptr;
        ULONG count = 0, item_size = 0;
        c.GetSubArray(arrays[0], k, unused, count, item_size);
        texts.resize(count);
        for (ULONG j = 0; j < count; ++j) {
          const wchar_t* data = nullptr;
          ULONG length = 0;
          c.GetStringData2D(arrays[0], k, j, data, length);
          texts[j] = {data, length};
        }
        sort_indices(texts, {boolean_at(in[1], k), boolean_at(in[2], k)}, order);
        void* items = nullptr;
        c.ResizeSubArray(out, k, count, items, count, item_size);
        if (order_pulled) {
          std::copy(order.begin(), order.end(), static_cast<std::int32_t*>(items));
          return;
        }
        for (ULONG i = 0; i < count; ++i) {
          const std::wstring_view text = texts[static_cast<std::size_t>(order[i])];
          wchar_t* buffer = nullptr;
          const auto length = static_cast<ULONG>(text.size());
          c.ResizeStringData2D(out, k, i, length, buffer);
          c.SetStringData2D(out, k, i, text.data(), length);
        }
      });
}

// ---- The benchmarks --------------------------------------------------------------------

std::wstring text_of(Evaluation& e, ULONG port, ULONG k) {
  return std::get<std::wstring>(e.port(port)->value(k));
}

struct Measured {
  const char* name;  // as the benchmarks are named
  const char* node;
  ULONG pulled;
  xsi_host::EvaluateFunction ideal;
  std::initializer_list<int> sizes;
};

// Whether output element k holds what its inputs give, done directly; the sort by a plain
// stable sort of the texts.
bool holds_expected(Evaluation& e, const Measured& measured, ULONG k) {
  const std::string_view node = measured.node;
  const Value got = e.port(measured.pulled)->value(k);
  if (node == "textpath") {
    const std::wstring path = text_of(e, 0, k);
    const auto [directory, name] = split_path(path);
    return got == Value(std::wstring(measured.pulled == 203 ? extension_of(name) : directory));
  }
  if (node == "texthash") {
    std::string bytes;
    const std::uint32_t hash =
        hash_of(text_of(e, 0, k), std::get<std::int32_t>(e.port(1)->value(k)), bytes);
    return measured.pulled == 201 ? got == Value(static_cast<float>(hash >> 8) / 16777216.0f)
                                  : got == Value(static_cast<std::int32_t>(hash));
  }
  if (node == "textchar") {
    std::vector<std::int32_t> codes;
    for (const Value& item : e.port(0)->items(k)) codes.push_back(std::get<std::int32_t>(item));
    std::wstring text;
    characters_of(codes.data(), static_cast<ULONG>(codes.size()), text);
    return got == Value(text);
  }
  const std::vector<std::wstring> texts = texts_of(*e.port(0), k);
  const textsort::Ordering ordering{std::get<bool>(e.port(1)->value(k)),
                                    std::get<bool>(e.port(2)->value(k))};
  std::vector<std::size_t> order(texts.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
    return textsort::compare_texts(texts[x], texts[y], ordering) < 0;
  });
  const std::vector<Value> items = e.port(measured.pulled)->items(k);
  if (items.size() != order.size()) return false;
  for (std::size_t i = 0; i < order.size(); ++i)
    if (items[i] != (measured.pulled == 201 ? Value(static_cast<std::int32_t>(order[i]))
                                            : Value(texts[order[i]])))
      return false;
  return true;
}

const Measured kMeasured[] = {
    {"textpath", "textpath", 200, ideal_textpath<false>, {0, 64}},
    {"textpath_extension", "textpath", 203, ideal_textpath<true>, {0, 64}},
    {"texthash", "texthash", 200, ideal_texthash<false>, {0, 64, 1'000}},
    {"texthash_random", "texthash", 201, ideal_texthash<true>, {0, 64}},
    {"textchar", "textchar", 200, ideal_textchar, {0, 16, 64}},
    {"textsort", "textsort", 200, ideal_textsort<false>, {0, 16, 64}},
    {"textsort_order", "textsort", 201, ideal_textsort<true>, {0, 16, 64}},
};

void measure(benchmark::State& state, const Measured& measured, Row row) {
  const ULONG batch = batch_of(state);
  const std::string node = measured.node;
  Evaluation evaluation;
  set_up(evaluation, plugin(node).node(), node, size_of(state), batch, measured.pulled);
  const xsi_host::EvaluateFunction evaluate =
      row == Row::node ? plugin(node).evaluate() : measured.ideal;
  const Check check = [&measured, batch](Evaluation& e) -> std::string {
    for (ULONG k : checked_elements(batch))
      if (!holds_expected(e, measured, k))
        return "element " + std::to_string(k) + " is not the expected result";
    return {};
  };
  time_evaluations(state, evaluation, evaluate, check, batch, "per_element");
}

const bool registered = [] {
  for (const Measured& measured : kMeasured) {
    const auto run = [&measured](benchmark::State& state, Row row) {
      measure(state, measured, row);
    };
    register_rows(measured.name, measured.sizes, run,
                  [](Row row, int) { return row != Row::literal; });
  }
  return true;
}();

}  // namespace
}  // namespace bench
