// dromlet through the host: any text and delimiter, checked against the plain cut, its one
// test written out (the text holds the delimiter; an empty one occurs nowhere), and each piece
// read as an integer by the number convention.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "number_text/number_text.h"
#include "plain_cut.h"
#include "plugin_trial.h"

namespace {

enum Port : fuzz::ULONG { kText = 0, kDelimiter = 1 };

void check(fuzz::FuzzInput& input, fuzz::Trial& trial) {
  trial.set_text(kText, input.text());
  trial.set_text(kDelimiter, input.text());

  const std::wstring text = trial.text(kText);
  const std::wstring delimiter = trial.text(kDelimiter);
  const bool marker = delimiter.empty() || text.find(delimiter) == std::wstring::npos;
  std::vector<fuzz::Value> values;
  if (!marker)
    for (const std::wstring& piece : fuzz::plain_cut(text, delimiter))
      values.emplace_back(number_text::read_integer(piece));
  trial.run(marker, [&](fuzz::ULONG) { return values; });
}

}  // namespace

FUZZ_NODE("dromlet", check)
