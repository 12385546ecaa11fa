#include "node_inputs.h"

#include <cwctype>

#include "evaluation_setup.h"
#include "number_text/number_text.h"

namespace bench {

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

template std::pair<std::wstring, std::vector<float>> pieces<float>(int n);
template std::pair<std::wstring, std::vector<std::int32_t>> pieces<std::int32_t>(int n);

std::wstring characters(int n) {
  const std::wstring_view motif = L"default string \u00e9\u0416";
  std::wstring text;
  for (int i = 0; i < n; ++i) text += motif[static_cast<std::size_t>(i) % motif.size()];
  return text;
}

std::pair<std::wstring, std::wstring> find_worst(int n) {
  const auto size = static_cast<std::size_t>(n);
  return {std::wstring(size - 1, L'a') + L'b', std::wstring(size / 2 - 1, L'a') + L'b'};
}

std::pair<std::wstring, std::wstring> replace_worst(int n) {
  const auto size = static_cast<std::size_t>(n);
  std::size_t m = 1;
  while ((m + 1) * (m + 1) <= size) ++m;
  const std::wstring block = std::wstring(2 * m, L'a') + L'b';
  std::wstring text;
  while (text.size() + block.size() <= size) text += block;
  text.append(size - text.size(), L'a');
  return {text, std::wstring(m, L'a') + L'b'};
}

std::wstring number_of(int n) {
  std::wstring digits;
  for (int i = 0; i < n; ++i) digits += static_cast<wchar_t>(L'1' + i % 9);
  return L"  " + digits.insert(static_cast<std::size_t>(n / 2), L".") + L"e-3 m";
}

std::wstring textformat_format(int n) {
  constexpr const wchar_t* kFields[] = {L"{:.2f}", L"{:>10.4e}", L"{:g}", L"{:+08.3f}"};
  std::wstring format;
  for (int i = 0; i < n; ++i) format += (i > 0 ? L", " : L"") + std::wstring(kFields[i % 4]);
  return format;
}

std::wstring piece_text(ULONG k, int n) {
  std::wstring number = std::to_wstring(k) + (k % 3 == 2 ? L"x" : L"");
  const auto size = static_cast<std::size_t>(n);
  if (number.size() + 6 < size) number.insert(0, size - 6 - number.size(), L'0');
  return L"piece_" + number;
}

float float_item(ULONG k, ULONG i) {
  const std::uint32_t r = (k * 2654435761u) ^ (i * 40503u + 12345u);
  const float mantissa = static_cast<float>(r % 2'000'001) / 1000.0f - 1000.0f;
  return i % 4 == 3 ? mantissa * 1e12f : mantissa;
}

std::int32_t integer_item(ULONG k, ULONG i) {
  const std::uint32_t r = (k * 2654435761u) ^ (i * 40503u + 12345u);
  return static_cast<std::int32_t>(r) >> (i % 24);
}

namespace {

void set_text_everywhere(xsi_host::PortData& port, std::wstring_view text) {
  for (ULONG k = 0; k < port.element_count(); ++k) port.set_text(k, text);
}

template <class Number>
void set_numbers(xsi_host::PortData& port, int size) {
  std::vector<Number> items(static_cast<std::size_t>(size));
  for (ULONG k = 0; k < port.element_count(); ++k) {
    for (ULONG i = 0; i < items.size(); ++i)
      if constexpr (std::is_same_v<Number, float>)
        items[i] = float_item(k, i);
      else
        items[i] = integer_item(k, i);
    if constexpr (std::is_same_v<Number, float>)
      port.set_floats(k, items);
    else
      port.set_integers(k, items);
  }
}

}  // namespace

void set_up(xsi_host::Evaluation& evaluation, const xsi_host::NodeRecord& record,
            std::string_view node, int size, ULONG elements, ULONG pulled) {
  icehost::declare_ports(evaluation, record, elements);
  if (pulled != 0) evaluation.pull(pulled);
  if (node == "kestrune") {
    if (size != 0) {
      const auto n = static_cast<std::size_t>(size);
      evaluation.port(0)->set_text(0, std::wstring(n, L'a') + std::wstring(n, L'b'));
      set_text_everywhere(*evaluation.port(1), L"ab");
    }
    for (ULONG k = 0; k < elements; ++k) evaluation.port(2)->set_boolean(k, true);
  } else if (node == "palvane") {
    set_text_everywhere(*evaluation.port(0), pieces<float>(size).first);
  } else if (node == "dromlet") {
    set_text_everywhere(*evaluation.port(0), pieces<std::int32_t>(size).first);
  } else if (node == "ocherin") {
    set_text_everywhere(*evaluation.port(7), characters(size));
  } else if (node == "vireth") {
    set_numbers<float>(*evaluation.port(0), size);
  } else if (node == "tamsel") {
    set_numbers<std::int32_t>(*evaluation.port(0), size);
  } else if (node.starts_with("regex")) {
    for (ULONG k = 0; k < elements; ++k) evaluation.port(0)->set_text(k, piece_text(k, size));
  } else if (size == 0) {
    // The nodes read at each element, at their defaults.
  } else if (node == "textlength" || node == "textslice") {
    set_text_everywhere(*evaluation.port(0), characters(size));
    if (node == "textslice") {
      for (ULONG k = 0; k < elements; ++k) {
        evaluation.port(1)->set_integer(k, size / 4);
        evaluation.port(2)->set_integer(k, size / 2);
      }
    }
  } else if (node == "textfind" || node == "textreplace") {
    const bool many = node == "textreplace" || pulled == 201;
    const auto [text, sub] = many ? replace_worst(size) : find_worst(size);
    set_text_everywhere(*evaluation.port(0), text);
    set_text_everywhere(*evaluation.port(1), sub);
    if (node == "textreplace") {
      set_text_everywhere(*evaluation.port(2), L"x");
      for (ULONG k = 0; k < elements; ++k) evaluation.port(3)->set_boolean(k, true);
    }
  } else if (node == "textcase") {
    set_text_everywhere(*evaluation.port(0), characters(size));
    for (ULONG k = 0; k < elements; ++k) evaluation.port(1)->set_boolean(k, true);
  } else if (node == "texttrim") {
    std::wstring white;
    for (int i = 0; i < size / 4; ++i) white += L" \t\u3000\u00a0"[i % 4];
    set_text_everywhere(*evaluation.port(0), white + characters(size) + white);
  } else if (node == "textmatch") {
    auto [text, sub] = find_worst(size);
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    set_text_everywhere(*evaluation.port(0), text);
    set_text_everywhere(*evaluation.port(1), sub);
    for (ULONG k = 0; k < elements; ++k) evaluation.port(3)->set_boolean(k, true);
  } else if (node == "textsplit") {
    const auto [text, sub] = replace_worst(size);
    set_text_everywhere(*evaluation.port(0), text);
    set_text_everywhere(*evaluation.port(1), sub);
  } else if (node == "textformat") {
    set_text_everywhere(*evaluation.port(0), textformat_format(size));
    set_numbers<float>(*evaluation.port(1), size);
  } else if (node == "textjoin") {
    std::vector<std::wstring> texts;
    for (ULONG i = 0; i < static_cast<ULONG>(size); ++i)
      texts.emplace_back(number_text::format(float_item(0, i)).view());
    for (ULONG k = 0; k < elements; ++k) evaluation.port(0)->set_texts(k, texts);
  } else if (node == "textnumber") {
    set_text_everywhere(*evaluation.port(0), number_of(size));
  }
}

}  // namespace bench
