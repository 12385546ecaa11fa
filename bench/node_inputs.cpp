#include "node_inputs.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <mutex>

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

std::wstring marked(int n) {
  const std::wstring_view motif = L"Cafe\u0301 \u00e9t\u00e9 a\u0301\u0316 \ud55c\uae00 ";
  std::wstring text;
  for (int i = 0; i < n; ++i) text += motif[static_cast<std::size_t>(i) % motif.size()];
  return text;
}

std::pair<std::wstring, std::wstring> find_worst(int n) {
  const auto size = static_cast<std::size_t>(n);
  return {std::wstring(size - 1, L'b') + L'a', std::wstring(size / 2 - 1, L'b') + L'a'};
}

std::pair<std::wstring, std::wstring> replace_worst(int n) {
  const auto size = static_cast<std::size_t>(n);
  std::size_t m = 1;
  while ((m + 1) * (m + 1) <= size) ++m;
  const std::wstring block = std::wstring(2 * m, L'b') + L'a';
  std::wstring text;
  while (text.size() + block.size() <= size) text += block;
  text.append(size - text.size(), L'b');
  return {text, std::wstring(m, L'b') + L'a'};
}

namespace {

// Common English words: the hundred most frequent first, which make about half of the words of
// English prose, each weighted 1 / (its rank + 3); then words of the long tail, which share the
// other half equally.
constexpr std::size_t kFrequent = 100;
constexpr std::wstring_view kVocabulary[] = {
    L"the",       L"of",        L"and",       L"to",        L"a",           L"in",
    L"is",        L"that",      L"it",        L"was",       L"for",         L"on",
    L"are",       L"as",        L"with",      L"his",       L"they",        L"at",
    L"be",        L"this",      L"from",      L"have",      L"or",          L"by",
    L"one",       L"had",       L"not",       L"but",       L"what",        L"all",
    L"were",      L"when",      L"we",        L"there",     L"can",         L"an",
    L"your",      L"which",     L"their",     L"said",      L"if",          L"do",
    L"will",      L"each",      L"about",     L"how",       L"up",          L"out",
    L"them",      L"then",      L"she",       L"many",      L"some",        L"so",
    L"these",     L"would",     L"other",     L"into",      L"has",         L"more",
    L"her",       L"two",       L"like",      L"him",       L"see",         L"time",
    L"could",     L"no",        L"make",      L"than",      L"first",       L"been",
    L"its",       L"who",       L"now",       L"people",    L"my",          L"made",
    L"over",      L"did",       L"down",      L"only",      L"way",         L"find",
    L"use",       L"may",       L"water",     L"long",      L"little",      L"very",
    L"after",     L"words",     L"called",    L"just",      L"where",       L"most",
    L"know",      L"get",       L"through",   L"back",      L"much",        L"before",
    L"go",        L"good",      L"new",       L"write",     L"our",         L"used",
    L"me",        L"man",       L"too",       L"any",       L"day",         L"same",
    L"right",     L"look",      L"think",     L"also",      L"around",      L"another",
    L"came",      L"come",      L"work",      L"three",     L"word",        L"must",
    L"because",   L"does",      L"part",      L"even",      L"place",       L"well",
    L"such",      L"here",      L"take",      L"why",       L"things",      L"help",
    L"put",       L"years",     L"different", L"away",      L"again",       L"off",
    L"went",      L"old",       L"number",    L"great",     L"tell",        L"men",
    L"say",       L"small",     L"every",     L"found",     L"still",       L"between",
    L"name",      L"should",    L"home",      L"big",       L"give",        L"air",
    L"line",      L"set",       L"own",       L"under",     L"read",        L"last",
    L"never",     L"us",        L"left",      L"end",       L"along",       L"while",
    L"might",     L"next",      L"sound",     L"below",     L"saw",         L"something",
    L"thought",   L"both",      L"few",       L"those",     L"always",      L"looked",
    L"show",      L"large",     L"often",     L"together",  L"asked",       L"house",
    L"world",     L"going",     L"want",      L"school",    L"important",   L"until",
    L"form",      L"food",      L"keep",      L"children",  L"feet",        L"land",
    L"side",      L"without",   L"boy",       L"once",      L"animals",     L"life",
    L"enough",    L"took",      L"sometimes", L"four",      L"head",        L"above",
    L"kind",      L"began",     L"almost",    L"live",      L"page",        L"got",
    L"earth",     L"need",      L"far",       L"hand",      L"high",        L"year",
    L"mother",    L"light",     L"parts",     L"country",   L"father",      L"let",
    L"night",     L"following", L"picture",   L"being",     L"study",       L"second",
    L"eyes",      L"soon",      L"times",     L"story",     L"boys",        L"since",
    L"white",     L"days",      L"ever",      L"paper",     L"hard",        L"near",
    L"sentence",  L"better",    L"best",      L"across",    L"during",      L"today",
    L"others",    L"however",   L"sure",      L"means",     L"knew",        L"try",
    L"told",      L"young",     L"miles",     L"sun",       L"ways",        L"thing",
    L"whole",     L"hear",      L"example",   L"heard",     L"several",     L"change",
    L"answer",    L"room",      L"sea",       L"against",   L"top",         L"turned",
    L"learn",     L"point",     L"city",      L"play",      L"toward",      L"five",
    L"himself",   L"usually",   L"money",     L"seen",      L"car",         L"size",
    L"quite",     L"question",  L"realized",  L"frozen",    L"quickly",     L"jump",
    L"exactly",   L"equal",     L"problem",   L"company",   L"process",     L"complete",
    L"possible",  L"public",    L"program",   L"computer",  L"special",     L"simple",
    L"practice",  L"product",   L"space",     L"support",   L"develop",     L"experience",
    L"community", L"perhaps",   L"report",    L"present",   L"political",   L"policy",
    L"percent",   L"period",    L"position",  L"power",     L"price",       L"private",
    L"project",   L"provide",   L"purpose",   L"capital",   L"carry",       L"case",
    L"center",    L"certain",   L"chance",    L"character", L"check",       L"choice",
    L"church",    L"class",     L"clear",     L"close",     L"cold",        L"common",
    L"course",    L"cover",     L"create",    L"current",   L"black",       L"body",
    L"book",      L"build",     L"business",  L"member",    L"market",      L"matter",
    L"measure",   L"method",    L"minute",    L"moment",    L"month",       L"morning",
    L"movement",  L"music",     L"village",   L"value",     L"various",     L"voice",
    L"kitchen",   L"knowledge", L"become",    L"captain",   L"spring",      L"plant",
    L"cup",       L"copy",      L"camp",      L"map",       L"temperature", L"compare",
    L"speak",     L"happy",     L"happen",    L"deep",      L"stop",        L"complex",
};

// The cumulative weights of the vocabulary, in millionths.
const std::vector<std::uint32_t>& cumulative_weights() {
  static const std::vector<std::uint32_t> weights = [] {
    std::vector<double> weight;
    double frequent = 0;
    for (std::size_t rank = 0; rank < kFrequent; ++rank)
      frequent += weight.emplace_back(1.0 / static_cast<double>(rank + 3));
    const std::size_t tail = std::size(kVocabulary) - kFrequent;
    weight.resize(std::size(kVocabulary), frequent / static_cast<double>(tail));
    std::vector<std::uint32_t> cumulative;
    double sum = 0;
    for (const double w : weight)
      cumulative.push_back(static_cast<std::uint32_t>((sum += w) / (2 * frequent) * 1e6));
    cumulative.back() = 1'000'000;
    return cumulative;
  }();
  return weights;
}

}  // namespace

std::wstring words(std::size_t n, std::uint32_t seed) {
  const std::vector<std::uint32_t>& cumulative = cumulative_weights();
  std::uint64_t state = 0x9e3779b97f4a7c15u * (seed + 1u);
  auto random = [&state](std::uint32_t below) {  // xorshift64*, as good as a bench needs
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return static_cast<std::uint32_t>((state * 0x2545f4914f6cdd1du) >> 32) % below;
  };
  const std::size_t body = n > kWordsEnding.size() ? n - kWordsEnding.size() : 0;
  std::wstring text;
  text.reserve(body + 32);
  std::uint32_t left_in_sentence = 0;
  while (text.size() < body) {
    const std::uint32_t pick = random(1'000'000);
    const auto word = kVocabulary[static_cast<std::size_t>(
        std::upper_bound(cumulative.begin(), cumulative.end(), pick) - cumulative.begin())];
    if (!text.empty()) text += left_in_sentence == 0 ? L". " : random(10) == 0 ? L", " : L" ";
    if (left_in_sentence == 0) {
      left_in_sentence = 6 + random(13);
      text += static_cast<wchar_t>(word[0] - L'a' + L'A');
      text += word.substr(1);
    } else {
      text += word;
    }
    --left_in_sentence;
  }
  text.resize(body);
  text += kWordsEnding;
  return text.substr(text.size() - n);
}

void set_up_ordinary(xsi_host::Evaluation& evaluation, const xsi_host::NodeRecord& record,
                     std::size_t characters, ULONG elements, std::wstring_view needle) {
  static std::mutex mutex;
  static std::map<std::pair<std::size_t, ULONG>, std::vector<std::wstring>> made;
  const std::lock_guard<std::mutex> lock(mutex);
  std::vector<std::wstring>& texts = made[{characters, elements}];
  for (ULONG k = static_cast<ULONG>(texts.size()); k < elements; ++k)
    texts.push_back(words(characters, k));
  icehost::declare_ports(evaluation, record, elements);
  for (ULONG k = 0; k < elements; ++k) {
    evaluation.port(0)->set_text(k, texts[k]);
    evaluation.port(1)->set_text(k, needle);
  }
}

std::wstring number_of(int n) {
  std::wstring digits;
  for (int i = 0; i < n; ++i) digits += static_cast<wchar_t>(L'1' + i % 9);
  return L"  " + digits.insert(static_cast<std::size_t>(n / 2), L".") + L"e-3 m";
}

std::wstring path_of(int n) {
  const std::wstring_view motif = L"sim_0042_";
  std::wstring path = L"C:/renders/";
  const auto name = static_cast<std::size_t>(n) - path.size() - 5;
  for (std::size_t i = 0; i < name; ++i) path += motif[i % motif.size()];
  return path + L".bgeo";
}

std::vector<std::int32_t> code_points(int n) {
  constexpr std::int32_t kMotif[] = {100, 101, 102, 97, 117, 108, 116, 32, 0xE9, 0x416, 0x1F600};
  std::vector<std::int32_t> codes;
  for (int i = 0; i < n; ++i)
    codes.push_back(kMotif[static_cast<std::size_t>(i) % std::size(kMotif)]);
  return codes;
}

std::vector<std::wstring> sort_texts(int n) {
  // 1,000,003 is prime: i * 7919 modulo it takes a different number for each i below it. The
  // numbers are of the same few lengths at every n, so that a comparison costs the same.
  std::vector<std::wstring> texts;
  for (int i = 0; i < n; ++i)
    texts.push_back((i % 3 == 0 ? L"Bone" : L"bone") +
                    std::to_wstring(static_cast<long long>(i) * 7919 % 1'000'003));
  return texts;
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
  } else if (node == "textnormalize") {
    set_text_everywhere(*evaluation.port(0), marked(size));
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
  } else if (node == "textpath") {
    set_text_everywhere(*evaluation.port(0), path_of(size));
  } else if (node == "texthash") {
    set_text_everywhere(*evaluation.port(0), characters(size));
  } else if (node == "textchar") {
    const std::vector<std::int32_t> codes = code_points(size);
    for (ULONG k = 0; k < elements; ++k) evaluation.port(0)->set_integers(k, codes);
  } else if (node == "textsort") {
    const std::vector<std::wstring> texts = sort_texts(size);
    for (ULONG k = 0; k < elements; ++k) evaluation.port(0)->set_texts(k, texts);
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
