// The plain values a computation takes and gives, without the machinery that acquires and
// releases the host's arrays: a node's header needs no more than this and frame/node.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

#include "frame/sdk_binding.h"
#include "text_unicode/small_text.h"
#include "text_unicode/small_vector.h"

namespace frame {

// The small-buffer types of every node and room (text_unicode/small_vector.h, small_text.h):
// the first N items or characters held in the object itself, so that a short result allocates
// nothing. SmallText appends as the host's texts join, the halves of a surrogate pair making one
// character on every platform.
using text_unicode::SmallText;
using text_unicode::SmallVector;

// The numbers a computation gives for an array-per-element output, the first 16 inline.
//   frame::Numbers<float> values;
//   values.push_back(1.5f);
template <class T>
using Numbers = SmallVector<T, 16>;

// The items of one element of a numeric or boolean array-per-element input, read-only, counted
// and indexed in std::size_t; item 0 stands for every item while the input's constant flag is
// set. A test builds one over items of its own:
//   const float values[] = {1.5f, 2.0f};
//   frame::Items<float> items{values, 2};
// (a boolean's items are of the SDK's type for them, frame::Items<bool>::Stored).
template <class T>
struct Items {
  using Stored = std::conditional_t<std::is_same_v<T, bool>, sdk::BooleanItem, T>;
  const Stored* data = nullptr;
  ULONG count = 0;
  bool constant = false;

  std::size_t size() const { return count; }
  T operator[](std::size_t i) const { return static_cast<T>(data[constant ? 0 : i]); }
};

// The texts of one element of an array-per-element text input, each read from the host when
// asked for; counted, indexed and constant as Items are. A test builds one over texts of its own,
// which must outlive it:
//   const std::wstring_view texts[] = {L"bone10", L"bone2"};
//   const frame::Texts strings{texts};
class Texts {
 public:
  Texts() = default;
  Texts(XSI::ICENodeContext& context, XSI::CBaseDataArray2D& array, ULONG element, ULONG count,
        bool constant)
      : context_(&context), array_(&array), element_(element), count_(count), constant_(constant) {}
  explicit Texts(std::span<const std::wstring_view> texts)
      : views_(texts.data()), count_(static_cast<ULONG>(texts.size())) {}

  std::size_t size() const { return count_; }
  std::wstring_view operator[](std::size_t j) const {
    if (views_) return views_[j];
    const sdk::Characters text = sdk::get_string_data_2d(*context_, *array_, element_,
                                                         constant_ ? 0 : static_cast<ULONG>(j));
    return text.data ? std::wstring_view(text.data, text.length) : std::wstring_view();
  }

 private:
  XSI::ICENodeContext* context_ = nullptr;
  XSI::CBaseDataArray2D* array_ = nullptr;
  const std::wstring_view* views_ = nullptr;
  ULONG element_ = 0;
  ULONG count_ = 0;
  bool constant_ = false;
};

// A text's characters, whether it holds them (std::wstring_view, std::wstring) or makes them
// (anything with a view()).
inline std::wstring_view view_of(std::wstring_view text) { return text; }
template <class Text>
requires requires(const Text& text) { text.view(); }
std::wstring_view view_of(const Text& text) { return text.view(); }

// A position or count of characters as the host's signed 32-bit integer: no position
// (std::wstring_view::npos) as -1, and one past 2^31 - 1 as 2^31 - 1, never wrapped.
//   as_int32(7) == 7   as_int32(npos) == -1   as_int32(std::size_t{1} << 40) == 2147483647
constexpr std::int32_t as_int32(std::size_t position) {
  constexpr std::size_t kLargest = 2147483647;
  if (position == std::wstring_view::npos) return -1;
  return static_cast<std::int32_t>(position < kLargest ? position : kLargest);
}

// Names the computation of output O of a node of several outputs (O its place in the table's
// outputs, from 0), as the computation's first parameter.
template <std::size_t O>
struct Output {};

// Why a computation has no result: its inputs do not suit (the frame leaves the marker in output
// element 0), or the SDK could not give the storage it needed (the call fails, writing nothing).
enum class NoResult { unsuitable, out_of_memory };

// What a computation read once at element 0 gives: its result, or why there is none.
template <class T>
class Result {
 public:
  Result(T value) : outcome_(std::move(value)) {}
  Result(NoResult why) : outcome_(why) {}

  bool has_value() const { return std::holds_alternative<T>(outcome_); }
  const T& operator*() const { return std::get<T>(outcome_); }
  NoResult why() const { return std::get<NoResult>(outcome_); }

 private:
  std::variant<T, NoResult> outcome_;
};

}  // namespace frame
