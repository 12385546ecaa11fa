// The room's automata against Boost.Regex, the engine the room matched every pattern with before
// them (text_regex/boost_comparison.h): a pattern and a few texts per input, and every answer
// compared, wherever Boost finishes within its bound. No plug-in is loaded: this is the room's
// own target; fuzz_regex checks the nodes around it.
//
// The input's first byte chooses how the pattern is made: of the comparison's pieces, each
// choice taken from the input, so that most patterns are ones the automata take; or of raw
// characters, mostly the syntax's own, so that the reading of every pattern (valid or not,
// ours or Boost's) is compared too. The texts are made of the comparison's characters.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "boost_comparison.h"

namespace {

// Raw pattern characters: the syntax's own and a few of the texts'.
constexpr std::wstring_view kRaw =
    L"()[]{}|*+?^$.\\-,:=!<>'abcABk019_ \u00e9\u212a\U0001F600dDwWsSbBnxuzAi";

std::wstring raw_pattern(FuzzedDataProvider& provider) {
  std::wstring pattern;
  for (std::size_t n = provider.ConsumeIntegralInRange<std::size_t>(0, 32); n > 0; --n)
    pattern += kRaw[provider.ConsumeIntegralInRange<std::size_t>(0, kRaw.size() - 1)];
  return pattern;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  auto choose = [&provider](auto n) {
    return static_cast<int>(
        provider.ConsumeIntegralInRange<std::uint32_t>(0, static_cast<std::uint32_t>(n) - 1));
  };
  std::wstring pattern;
  if (provider.ConsumeBool()) {
    text_regex::comparison::PatternMaker maker(choose);
    pattern = maker.alternation(3);
  } else {
    pattern = raw_pattern(provider);
  }
  for (int t = 0; t < 3; ++t) {
    const std::wstring text = text_regex::comparison::random_text(choose, 24);
    const std::string difference = text_regex::comparison::difference(pattern, text);
    if (difference.empty()) continue;
    std::fprintf(stderr, "pattern \"%ls\" text \"%ls\": %s\n", pattern.c_str(), text.c_str(),
                 difference.c_str());
    std::abort();
  }
  return 0;
}
