#include "text_unicode/small_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "text_unicode/small_vector.h"

namespace text_unicode {
namespace {

using Small = SmallVector<int, 4>;

std::vector<int> items(const Small& small) { return {small.begin(), small.end()}; }

TEST(SmallVector, KeepsItsItemsAcrossTheMoveToTheHeapCopiesAndMoves) {
  Small small;
  for (int i = 0; i < 9; ++i) small.push_back(i);  // inline, then twice on the heap
  std::vector<int> want(9);
  std::iota(want.begin(), want.end(), 0);
  EXPECT_EQ(items(small), want);
  for (Small* inline_or_heap : {new Small{7, 8}, new Small(small)}) {
    const std::vector<int> before = items(*inline_or_heap);
    Small copy(*inline_or_heap);
    Small moved(std::move(*inline_or_heap));
    EXPECT_EQ(items(copy), before);
    EXPECT_EQ(items(moved), before);
    EXPECT_TRUE(inline_or_heap->empty());
    inline_or_heap->push_back(5);  // the moved-from one is usable
    EXPECT_EQ(items(*inline_or_heap), std::vector<int>{5});
    copy = moved;
    moved = Small{1};
    EXPECT_EQ(items(copy), before);
    EXPECT_EQ(items(moved), std::vector<int>{1});
    delete inline_or_heap;
  }
  int* slots = small.resize(2);
  EXPECT_EQ(items(small), (std::vector<int>{0, 1}));  // the kept items keep their values
  EXPECT_EQ(slots, small.data());
}

TEST(SmallText, ViewsATextUntilItIsChangedThenHoldsItsOwn) {
  const std::wstring text(40, L'x');
  SmallText<8> viewed(text);
  EXPECT_EQ(viewed.view().data(), text.data());
  const SmallText<8> copy(viewed);  // still a view
  EXPECT_EQ(copy.view().data(), text.data());
  viewed.append(L"!");
  EXPECT_EQ(viewed.view(), text + L"!");
  EXPECT_NE(viewed.view().data(), text.data());
  EXPECT_EQ(text, std::wstring(40, L'x'));  // never written
  EXPECT_EQ(SmallText<8>(std::wstring(L"built")).view(), L"built");
  // Rebuilt in place: the view dropped, never written through; inline, then on the heap.
  for (const std::size_t count : {3u, 8u, 30u}) {
    SmallText<8> rebuilt(text);
    rebuilt.clear_for(count);
    EXPECT_TRUE(rebuilt.empty());
    wchar_t* out = rebuilt.append_for_overwrite(count);
    std::fill_n(out, count, L'y');
    EXPECT_EQ(rebuilt.view(), std::wstring(count, L'y'));
  }
  EXPECT_EQ(text, std::wstring(40, L'x'));
}

TEST(SmallText, AppendsCopiesAndMovesInlineAndOnTheHeap) {
  for (const std::size_t count : {0u, 1u, 3u, 20u}) {
    std::wstring want;
    for (std::size_t i = 0; i < count; ++i) want += L"ab";
    want += L"c";
    SmallText<8> text;
    text.append(L"ab", count);
    text.append(L"c");
    EXPECT_EQ(text.view(), want);
    SmallText<8> moved(std::move(text));
    EXPECT_EQ(moved.view(), want);
    SmallText<8> copy;
    copy = moved;
    EXPECT_EQ(copy.view(), want);
  }
}

// Where wchar_t holds 32 bits, the halves of a pair joined by appending make one character,
// whether the text was viewed, inline or on the heap; only the first of many copies joins.
TEST(SmallText, JoinsTheHalvesOfAPairWhereTextsAreNotUtf16) {
  if (kUtf16) GTEST_SKIP() << "UTF-16 texts keep both halves, which make the pair as they are";
  const std::wstring high(1, static_cast<wchar_t>(0xD83D));
  const std::wstring low(1, static_cast<wchar_t>(0xDE00));
  const std::wstring joined(1, static_cast<wchar_t>(0x1F600));
  for (const std::wstring& before : {std::wstring(), std::wstring(30, L'a')}) {
    const std::wstring source = before + high;
    SmallText<8> text{std::wstring_view(source)};
    text.append(low + L"z", 2);
    EXPECT_EQ(text.view(), before + joined + L"z" + low + L"z");
    EXPECT_EQ(source, before + high);
    SmallText<8> empty;
    empty.append(low);
    EXPECT_EQ(empty.view(), low);
  }
}

}  // namespace
}  // namespace text_unicode
