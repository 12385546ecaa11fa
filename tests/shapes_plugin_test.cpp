// The shape matrix: a node of each port shape (tests/shapes), built with the kit and loaded
// through the real loader, echoes its input element by element. Every shape is read and written
// at exactly the evaluated elements, over each form of index set; a constant input stands for
// every element; inputs of two shapes, one constant and one varying, combine element by element.
#include <cstdint>
#include <string>
#include <vector>

#include "plugin_fixture.h"

namespace {

using XSI::ULONG;
using xsi_host::Value;

constexpr ULONG kElements = 6;

// The value of element k of a port of a shape, different from one element to the next: an
// array element k holds k % 4 items (none at element 0, 4, ...); texts hold a NUL and
// characters beyond one byte.
std::vector<Value> sample(ULONG data_type, ULONG structure, ULONG k) {
  const ULONG n = structure == XSI::siICENodeStructureSingle ? 1 : k % 4;
  std::vector<Value> items;
  for (ULONG i = 0; i < n; ++i) {
    const auto code = static_cast<std::int32_t>(1000 * k + i);
    switch (data_type) {
      case XSI::siICENodeDataBool:
        items.emplace_back((k + i) % 3 == 1);
        break;
      case XSI::siICENodeDataLong:
        items.emplace_back(-code);
        break;
      case XSI::siICENodeDataFloat:
        items.emplace_back(static_cast<float>(code) + 0.25f);
        break;
      default:
        items.emplace_back(std::wstring(L"\u00e9\u2192") + std::wstring(1, L'\0') +
                           std::to_wstring(code));
    }
  }
  return items;
}

struct Echoed {
  const char* node;
  ULONG data_type;
  ULONG structure;
};

constexpr Echoed kShapes[] = {
    {"echo_one_boolean", XSI::siICENodeDataBool, XSI::siICENodeStructureSingle},
    {"echo_one_integer", XSI::siICENodeDataLong, XSI::siICENodeStructureSingle},
    {"echo_one_float", XSI::siICENodeDataFloat, XSI::siICENodeStructureSingle},
    {"echo_one_text", XSI::siICENodeDataString, XSI::siICENodeStructureSingle},
    {"echo_array_boolean", XSI::siICENodeDataBool, XSI::siICENodeStructureArray},
    {"echo_array_integer", XSI::siICENodeDataLong, XSI::siICENodeStructureArray},
    {"echo_array_float", XSI::siICENodeDataFloat, XSI::siICENodeStructureArray},
    {"echo_array_text", XSI::siICENodeDataString, XSI::siICENodeStructureArray},
};

// A test node of the shape matrix, loaded, with its ports over kElements elements.
class Shapes : public tests::PluginTest {
 public:
  using tests::PluginTest::evaluate_over;
  using tests::PluginTest::port;
  using tests::PluginTest::sentinel;

  explicit Shapes(const std::string& node)
      : PluginTest((std::filesystem::path(TEXTNODES_TEST_PLUGIN_DIR) / plugin_file(node)).string(),
                   kElements) {}

  static std::string plugin_file(const std::string& node) {
#if defined(_WIN32)
    return node + ".dll";
#else
    return "lib" + node + ".so";
#endif
  }
};

// The echo of one shape, loaded.
struct Echo : Shapes {
  explicit Echo(const Echoed& shape) : Shapes(shape.node), shape(shape) {}
  void TestBody() override {}
  const Echoed& shape;
};

TEST(ShapeMatrix, EachShapeWritesEachEvaluatedElementFromTheSameInputElement) {
  for (const Echoed& shape : kShapes) {
    SCOPED_TRACE(shape.node);
    Echo echo(shape);
    for (ULONG k = 0; k < kElements; ++k)
      icehost::store(echo.port(0), k, sample(shape.data_type, shape.structure, k));
    for (const icehost::IndexChoice& index : tests::every_index_form(kElements)) {
      const std::vector<std::vector<Value>> held = echo.evaluate_over(index);
      for (ULONG k = 0; k < kElements; ++k)
        EXPECT_EQ(held[k], index.holds(k, kElements) ? sample(shape.data_type, shape.structure, k)
                                                     : Shapes::sentinel(echo.port(200)))
            << "element " << k;
    }
  }
}

// An input handed over as one value for every element is read at element 0; an array's item 0
// stands for its every item.
TEST(ShapeMatrix, AConstantInputOfEachShapeStandsForEveryElement) {
  for (const Echoed& shape : kShapes) {
    SCOPED_TRACE(shape.node);
    Echo echo(shape);
    for (ULONG k = 0; k < kElements; ++k)
      icehost::store(echo.port(0), k, sample(shape.data_type, shape.structure, k + 3));
    echo.port(0).constant = true;
    const std::vector<Value> first = sample(shape.data_type, shape.structure, 3);
    const std::vector<Value> expected(first.size(), first.front());
    for (const std::vector<Value>& held : echo.evaluate_over(tests::index_range(kElements)))
      EXPECT_EQ(held, expected);
  }
}

struct Joined : Shapes {
  Joined() : Shapes("joined") {}
};

TEST_F(Joined, AConstantInputBesideAVaryingOne) {
  for (ULONG k = 0; k < kElements; ++k) {
    port(0).set_text(k, std::wstring(1, static_cast<wchar_t>(L'a' + k)));
    port(1).set_integer(k, static_cast<std::int32_t>(10 * k));
  }
  std::vector<Value> varying;
  for (ULONG k = 0; k < kElements; ++k)
    varying.push_back(std::wstring(1, static_cast<wchar_t>(L'a' + k)) + std::to_wstring(10 * k));
  std::vector<std::vector<Value>> held = evaluate_over(tests::index_range(kElements));
  for (ULONG k = 0; k < kElements; ++k) EXPECT_EQ(held[k], std::vector<Value>{varying[k]});

  port(1).constant = true;
  held = evaluate_over(tests::index_range(kElements));
  for (ULONG k = 0; k < kElements; ++k)
    EXPECT_EQ(held[k], std::vector<Value>{std::wstring(1, static_cast<wchar_t>(L'a' + k)) + L"0"});
}

struct Counted : Shapes {
  Counted() : Shapes("counted") {}
};

TEST_F(Counted, GivesEachElementTheCountOfItsTexts) {
  for (ULONG k = 0; k < kElements; ++k)
    icehost::store(port(0), k, sample(XSI::siICENodeDataString, XSI::siICENodeStructureArray, k));
  const std::vector<std::vector<Value>> held = evaluate_over(tests::index_range(kElements));
  for (ULONG k = 0; k < kElements; ++k)
    EXPECT_EQ(held[k], std::vector<Value>{static_cast<std::int32_t>(k % 4)});
}

}  // namespace
