// Numbers through text and back, through the real plug-ins: what vireth writes, joined with
// ",", palvane reads back as the same 32-bit floats, bit for bit, whether the test joins the
// texts or textjoin does; what tamsel writes, dromlet reads back as the same integers. Checked
// over random bit patterns, so that every exponent, subnormals and the extremes come up, not only
// numbers with short texts.
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "evaluation_setup.h"
#include "plugin_fixture.h"

namespace {

using XSI::ULONG;
using xsi_host::Value;

constexpr std::size_t kSamples = 20000;
constexpr std::uint32_t kSeed = 20240611;

// A plug-in and one evaluation of it over a single element.
struct Loaded {
  explicit Loaded(const std::string& node) : library(tests::plugin_path(node)) {
    icehost::declare_ports(evaluation, library.node(), 1);
  }

  void run() {
    const xsi_host::CallResult result = evaluation.run(library.evaluate());
    EXPECT_EQ(result.status, XSI::CStatus::OK);
    for (const std::string& fault : result.faults) ADD_FAILURE() << fault;
  }

  icehost::PluginLibrary library;
  xsi_host::Evaluation evaluation{tests::strict_host()};
};

// The texts of output element 0 of port, joined with ",".
std::wstring joined_texts(xsi_host::PortData& port) {
  std::wstring joined;
  for (const Value& text : port.items(0)) {
    if (!joined.empty()) joined += L',';
    joined += std::get<std::wstring>(text);
  }
  return joined;
}

template <class Number>
std::vector<Number> read_back(xsi_host::PortData& port) {
  std::vector<Number> numbers;
  for (const Value& item : port.items(0)) numbers.push_back(std::get<Number>(item));
  return numbers;
}

// Finite floats of every kind: both zeros, the smallest and largest subnormals, the smallest
// normal, the extremes, numbers with short texts and one that needs nine digits (10.0000105),
// then random bit patterns.
std::vector<float> finite_floats() {
  constexpr auto limits = std::numeric_limits<float>();
  std::vector<float> floats = {-0.0f,
                               0.0f,
                               limits.denorm_min(),
                               -limits.denorm_min(),
                               std::bit_cast<float>(0x007FFFFFu),
                               -limits.min(),
                               limits.max(),
                               limits.lowest(),
                               1.36f,
                               0.1f,
                               std::bit_cast<float>(0x4120000Bu)};
  std::mt19937 random(kSeed);
  while (floats.size() < kSamples) {
    const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
    if (std::isfinite(value)) floats.push_back(value);
  }
  return floats;
}

// The floats palvane reads from text with the delimiter ",".
std::vector<float> read_by_palvane(const std::wstring& text) {
  Loaded palvane("palvane");
  palvane.evaluation.port(0)->set_text(0, text);
  palvane.evaluation.port(1)->set_text(0, L",");
  palvane.run();
  return read_back<float>(*palvane.evaluation.port(200));
}

void expect_same_bits(const std::vector<float>& back, const std::vector<float>& floats) {
  ASSERT_EQ(back.size(), floats.size()) << "seed " << kSeed;
  std::size_t mismatches = 0;
  for (std::size_t i = 0; i < floats.size(); ++i) {
    if (std::bit_cast<std::uint32_t>(back[i]) == std::bit_cast<std::uint32_t>(floats[i])) continue;
    if (++mismatches <= 5)
      ADD_FAILURE() << "item " << i << ": bits " << std::hex
                    << std::bit_cast<std::uint32_t>(floats[i]) << " came back as "
                    << std::bit_cast<std::uint32_t>(back[i]);
  }
  EXPECT_EQ(mismatches, 0u) << "seed " << kSeed;
}

TEST(RoundTrip, EveryFiniteFloatComesBackBitForBit) {
  const std::vector<float> floats = finite_floats();
  Loaded vireth("vireth");
  vireth.evaluation.port(0)->set_floats(0, floats);
  vireth.run();
  expect_same_bits(read_by_palvane(joined_texts(*vireth.evaluation.port(200))), floats);
}

// The same with textjoin doing the join: vireth's texts of element 0 joined with its default
// delimiter, ",".
TEST(RoundTrip, EveryFiniteFloatComesBackThroughTextjoin) {
  const std::vector<float> floats = finite_floats();
  Loaded vireth("vireth");
  vireth.evaluation.port(0)->set_floats(0, floats);
  vireth.run();
  xsi_host::PortData& texts = *vireth.evaluation.port(200);

  Loaded textjoin("textjoin");
  icehost::store(*textjoin.evaluation.port(0), 0, texts.items(0));
  textjoin.run();
  const auto joined = std::get<std::wstring>(textjoin.evaluation.port(200)->value(0));
  EXPECT_EQ(joined, joined_texts(texts));
  expect_same_bits(read_by_palvane(joined), floats);
}

TEST(RoundTrip, EveryIntegerComesBack) {
  constexpr auto limits = std::numeric_limits<std::int32_t>();
  std::vector<std::int32_t> integers = {limits.min(), limits.max(), 0, -1, 1};
  std::mt19937 random(kSeed);
  while (integers.size() < kSamples)
    integers.push_back(static_cast<std::int32_t>(static_cast<std::uint32_t>(random())));

  Loaded tamsel("tamsel");
  tamsel.evaluation.port(0)->set_integers(0, integers);
  tamsel.run();
  const std::wstring text = joined_texts(*tamsel.evaluation.port(200));

  Loaded dromlet("dromlet");
  dromlet.evaluation.port(0)->set_text(0, text);
  dromlet.evaluation.port(1)->set_text(0, L",");
  dromlet.run();
  EXPECT_EQ(read_back<std::int32_t>(*dromlet.evaluation.port(208)), integers) << "seed " << kSeed;
}

}  // namespace
