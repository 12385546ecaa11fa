// kestrune through the real loader: its registration, its unload line, and what it writes.
#include <string>
#include <vector>

#include "plugin_fixture.h"

namespace {

using XSI::ULONG;
using xsi_host::Value;
using Elements = std::vector<ULONG>;

const std::wstring kDefaultText =
    L"this_string_has_a_subString_and_another_subString_and_yet_another_subString_in_it";

TEST(KestruneRegistration, MakesEveryDefinitionCallInOrder) {
  icehost::PluginLibrary library(tests::plugin_path("kestrune"));
  EXPECT_FALSE(library.session().registration().author.empty());
  const ULONG none = XSI::kNotFound;
  tests::expect_registration(
      library, L"kestrune",
      {{"AddInputPort",
        {0u, 100u, 131072u, 1u, 63u, std::wstring(L"String"), std::wstring(L"String"), kDefaultText,
         Value(), Value(), none, none, 402u}},
       {"AddInputPort",
        {1u, 100u, 131072u, 1u, 63u, std::wstring(L"SubString"), std::wstring(L"SubString"),
         std::wstring(L"subString"), Value(), Value(), none, none, 402u}},
       {"AddInputPort",
        {2u, 100u, 1u, 1u, 63u, std::wstring(L"RemoveAll"), std::wstring(L"RemoveAll"), false,
         Value(), Value(), none, none, 402u}},
       {"AddOutputPort",
        {200u, 131072u, 1u, 63u, std::wstring(L"Result"), std::wstring(L"Result"), none, none,
         402u}}});
}

TEST(KestruneRegistration, FailedDefinitionCallsStillRegisterTheNode) {
  icehost::PluginLibrary library(tests::plugin_path("kestrune"),
                                 {{"PutColor", 0}, {"AddInputPort", 1}, {"AddOutputPort", 0}});
  EXPECT_EQ(library.load_status(), XSI::CStatus::OK);
  const xsi_host::NodeRecord& node = library.node();
  EXPECT_TRUE(node.registered);
  EXPECT_EQ(node.categories, L"Custom ICENode");
  EXPECT_EQ(node.calls.size(), 6u);  // every later call was still made
  EXPECT_EQ(node.ports.size(), 2u);  // ports 0 and 2
  EXPECT_EQ(library.session().assertion_failures().size(), 3u);
}

TEST(KestruneRegistration, UnloadLogsOneVerboseLine) {
  icehost::PluginLibrary library(tests::plugin_path("kestrune"));
  EXPECT_TRUE(library.session().log().empty());
  EXPECT_EQ(library.unload(), XSI::CStatus::OK);
  ASSERT_EQ(library.session().log().size(), 1u);
  EXPECT_EQ(library.session().log()[0].text, L"kestrune Plugin has been unloaded.");
  EXPECT_EQ(library.session().log()[0].severity, 16u);
}

class Kestrune : public tests::PluginTest {
 protected:
  Kestrune() : PluginTest("kestrune", 10) {}

  void set(const std::wstring& text, const std::wstring& sub, bool all) {
    port(0).set_text(0, text);
    port(1).set_text(0, sub);
    port(2).set_boolean(0, all);
  }
  Value result(ULONG k) { return port(200).value(k); }
};

TEST_F(Kestrune, DefaultsRemoveTheFirstOrEveryOccurrence) {
  EXPECT_EQ(evaluate().size(), 10u);
  const std::wstring first =
      L"this_string_has_a__and_another_subString_and_yet_another_subString_in_it";
  EXPECT_EQ(first.size(), 72u);
  for (ULONG k = 0; k < 10; ++k) EXPECT_EQ(result(k), Value(first));

  port(2).set_boolean(0, true);
  EXPECT_EQ(evaluate().size(), 10u);
  const std::wstring all = L"this_string_has_a__and_another__and_yet_another__in_it";
  EXPECT_EQ(all.size(), 54u);
  for (ULONG k = 0; k < 10; ++k) EXPECT_EQ(result(k), Value(all));
}

TEST_F(Kestrune, RemovesOnceOrUntilNoneIsLeft) {
  struct Case {
    std::wstring text, sub, once, all;
  };
  const Case cases[] = {
      {L"aabb", L"ab", L"ab", L""}, {L"aaaa", L"aa", L"aa", L""},
      {L"aaa", L"aa", L"a", L"a"},  {L"xaby ab", L"ab", L"xy ab", L"xy "},
      {L"same", L"same", L"", L""}, {L"-12", L"2", L"-1", L"-1"},
  };
  for (const Case& c : cases) {
    for (const bool all : {false, true}) {
      set(c.text, c.sub, all);
      evaluation_.index_list({3, XSI::kNotFound, 1});
      EXPECT_EQ(evaluate(), (Elements{1, 3}));
      EXPECT_EQ(result(3), Value(all ? c.all : c.once))
          << std::string(c.text.begin(), c.text.end());
      EXPECT_EQ(result(1), result(3));
    }
  }
}

TEST_F(Kestrune, MarkerGoesToElementZeroAloneWhenTheInputsDoNotSuit) {
  const std::pair<std::wstring, std::wstring> unsuitable[] = {
      {L"abc", L""}, {L"", L"a"}, {L"abc", L"abcd"}, {L"abc", L"x"}, {L"abc", L"ABC"}};
  for (const auto& [text, sub] : unsuitable) {
    set(text, sub, true);
    evaluation_.index_list({4, 7});
    EXPECT_EQ(evaluate(), Elements{0});
    EXPECT_EQ(result(0), Value(std::wstring(L"-1")));
  }
}

TEST_F(Kestrune, OnlyElementZeroOfEachInputCounts) {
  set(L"aXb", L"X", false);
  port(0).set_text(1, L"nothing to find");
  port(1).set_text(1, L"");
  port(2).set_boolean(1, true);
  evaluation_.index_range(2);
  EXPECT_EQ(evaluate(), (Elements{0, 1}));
  EXPECT_EQ(result(1), Value(std::wstring(L"ab")));
}

TEST_F(Kestrune, KeepsWideCharactersAndEmbeddedNul) {
  const std::wstring text{L'\u00e9', L'\0', L'\u2192', L'\u00e9', L'\u2192', L'\0', L'y'};
  set(text, std::wstring{L'\u2192', L'\u00e9'}, false);
  evaluate();
  EXPECT_EQ(result(5), Value(std::wstring{L'\u00e9', L'\0', L'\u2192', L'\0', L'y'}));
}

TEST_F(Kestrune, KeepsCharactersOutsideSixteenBitsIntact) {
  // On Windows such a character is two characters of the text, a surrogate pair; removing
  // around it, or the pair itself as the sub-text, never splits it.
  const std::wstring face = L"\U0001F600";
  set(face + L"a" + face + L"a", L"a", true);
  evaluate();
  EXPECT_EQ(result(0), Value(face + face));
  set(L"x" + face + L"y" + face, face + L"y", false);
  evaluate();
  EXPECT_EQ(result(0), Value(L"x" + face));
}

TEST_F(Kestrune, EmptyIndexSetWritesNothing) {
  evaluation_.index_range(0);
  EXPECT_EQ(evaluate(), Elements{});
}

class KestruneWithoutElements : public tests::PluginTest {
 protected:
  KestruneWithoutElements() : PluginTest("kestrune", 0) {}
};

TEST_F(KestruneWithoutElements, ReadsNothingAndWritesNothing) {
  // No element 0 to read or to mark: the call still acquires and releases everything.
  EXPECT_EQ(evaluate(), Elements{});
}

}  // namespace
