// One port's data array for one call, with one reader per input shape and one writer per output
// shape. Nothing is read or written past an array's element count: an element that is not there
// reads as empty (an empty text, false, 0, no items) and is not written.
#pragma once

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "frame/node.h"

namespace frame {

// The C++ type of a value or an item of a port of the given data type.
template <ULONG DataType>
using Value = std::conditional_t<
    DataType == kBoolean, bool,
    std::conditional_t<DataType == kInteger, std::int32_t,
                       std::conditional_t<DataType == kFloat, float, std::wstring_view>>>;

// The items of one element of a numeric or boolean array-per-element input, read-only, counted
// and indexed in std::size_t: items[i] for i below items.size(). While the input's constant flag
// is set, item 0 stands for every item. A test builds one over its own items:
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
// asked for, counted and indexed in std::size_t as Items are. While the input's constant flag is
// set, item 0 stands for every item.
class Texts {
 public:
  Texts() = default;
  Texts(XSI::ICENodeContext& context, XSI::CBaseDataArray2D& array, ULONG element, ULONG count,
        bool constant)
      : context_(&context), array_(&array), element_(element), count_(count), constant_(constant) {}

  std::size_t size() const { return count_; }
  std::wstring_view operator[](std::size_t j) const {
    const sdk::Characters text = sdk::get_string_data_2d(*context_, *array_, element_,
                                                         constant_ ? 0 : static_cast<ULONG>(j));
    return text.data ? std::wstring_view(text.data, text.length) : std::wstring_view();
  }

 private:
  XSI::ICENodeContext* context_ = nullptr;
  XSI::CBaseDataArray2D* array_ = nullptr;
  ULONG element_ = 0;
  ULONG count_ = 0;
  bool constant_ = false;
};

// The SDK's array class for a port of either structure.
template <ULONG Structure>
using HostArray =
    std::conditional_t<Structure == kOnePerElement, XSI::CBaseDataArray, XSI::CBaseDataArray2D>;

// One port's data array for one call: acquired from the context, released when it goes out of
// scope if the host lent it. Its count and constant flag are fixed from acquisition to release,
// and read once.
template <ULONG Structure>
class PortArray {
 public:
  PortArray() = default;
  PortArray(const PortArray&) = delete;
  PortArray& operator=(const PortArray&) = delete;
  ~PortArray() {
    if (acquired_) context_->ReleaseDataArray(array_);
  }

  // Whether the host lent the array.
  bool acquire_output(XSI::ICENodeContext& context, const Port& port) {
    if constexpr (Structure == kOnePerElement)
      return bind(context, context.AcquireOutputDataArray(array_, port.data_type));
    else
      return bind(context, context.AcquireOutputDataArray2D(array_, port.data_type));
  }
  bool acquire_input(XSI::ICENodeContext& context, const Port& port) {
    if constexpr (Structure == kOnePerElement)
      return bind(context, context.AcquireInputDataArray(array_, port.data_type, port.id, 0));
    else
      return bind(context, context.AcquireInputDataArray2D(array_, port.data_type, port.id, 0));
  }

 protected:
  bool bind(XSI::ICENodeContext& context, const XSI::CStatus& status) {
    context_ = &context;
    acquired_ = sdk::lent(status);
    count_ = sdk::element_count(array_);
    if constexpr (Structure == kArrayPerElement) constant_ = sdk::is_constant(array_);
    return acquired_;
  }

  XSI::ICENodeContext* context_ = nullptr;
  HostArray<Structure> array_;
  ULONG count_ = 0;
  bool constant_ = false;
  bool acquired_ = false;
};

template <ULONG Structure>
class InputArray : public PortArray<Structure> {
 public:
  // The element that stands for element k when an input is read at each element: element 0
  // while the host hands the array over as one value for every element (its constant flag
  // set), else k itself.
  ULONG standing_for(ULONG k) {
    if constexpr (Structure == kOnePerElement) {
      if (!asked_constant_) this->constant_ = sdk::is_constant(this->array_);
      asked_constant_ = true;
    }
    return this->constant_ ? 0 : k;
  }

  // Element i of an input of the given data type: a one-value text as exactly its characters
  // (no terminator looked for), a boolean as its bit of the array's words, a number as itself;
  // the items of an array as Items, or Texts.
  template <ULONG DataType>
  auto read(ULONG i) {
    const bool there = i < this->count_;
    if constexpr (Structure == kOnePerElement && DataType == kText) {
      if (!there) return std::wstring_view();
      const sdk::Characters text = sdk::get_string_data(*this->context_, this->array_, i);
      return text.data ? std::wstring_view(text.data, text.length) : std::wstring_view();
    } else if constexpr (Structure == kOnePerElement && DataType == kBoolean) {
      const auto* words =
          static_cast<const ULONG*>(held_data([&] { return sdk::boolean_words(this->array_); }));
      return there && words && ((words[i / 32] >> (i % 32)) & 1u) != 0;
    } else if constexpr (Structure == kOnePerElement) {
      const auto* numbers = static_cast<const Value<DataType>*>(
          held_data([&] { return sdk::numbers<Value<DataType>>(this->array_); }));
      return there && numbers ? numbers[i] : Value<DataType>{};
    } else {
      // The host promises the pointer and the count; the data type says what an item is.
      const sdk::SubArray sub =
          there ? sdk::get_sub_array(*this->context_, this->array_, i) : sdk::SubArray();
      if constexpr (DataType == kText) {
        return Texts(*this->context_, this->array_, i, there ? sub.count : 0, this->constant_);
      } else {
        using Read = Items<Value<DataType>>;
        if (!sub.items) return Read();
        return Read{static_cast<const typename Read::Stored*>(sub.items), sub.count,
                    this->constant_};
      }
    }
  }

 private:
  // The data of a one-value boolean or numeric array, fixed from acquisition to release: asked
  // of the host when first read, once, not for every element.
  template <class Ask>
  const void* held_data(Ask&& ask) {
    if (!asked_data_) data_ = ask();
    asked_data_ = true;
    return data_;
  }

  bool asked_constant_ = false;
  bool asked_data_ = false;
  const void* data_ = nullptr;
};

// A text's characters, whether a text holds them or makes them (view()).
inline std::wstring_view view_of(std::wstring_view text) { return text; }
template <class Text>
requires requires(const Text& text) { text.view(); }
std::wstring_view view_of(const Text& text) { return text.view(); }

// Item i, whether items gives it or points at it among the others.
template <class ItemsOf>
decltype(auto) item_at(ItemsOf& items, ULONG i) {
  if constexpr (std::is_pointer_v<ItemsOf>)
    return items[i];
  else
    return items(i);
}

template <ULONG Structure>
class OutputArray : public PortArray<Structure> {
 public:
  // Element k of a one-value output: a text sized then set; a number or a boolean set.
  template <class T>
  void write(ULONG k, const T& value) requires(Structure == kOnePerElement) {
    if (k >= this->count_) return;
    if constexpr (std::is_arithmetic_v<T>) {
      sdk::set_data(*this->context_, this->array_, k, value);
    } else {
      const std::wstring_view text = view_of(value);
      const auto length = static_cast<ULONG>(text.size());
      sdk::resize_string_data(*this->context_, this->array_, k, length);
      sdk::set_string_data(*this->context_, this->array_, k, text.data(), length);
    }
  }

  // Element k of an array-per-element output: exactly n items, item_of(i) giving item i (or
  // item_of[i], when it points at them all); the sub-array sized once, to n, before any item is
  // written. A text item is held while it is
  // written, so that one built in place is never copied, sized once and then set; the pointer
  // ResizeSubArray gives for texts is not read. Every numeric or boolean item is written (the
  // host promises n writable items and nothing of their content); while the output's constant
  // flag is set, slot 0 alone stands for them all and ends holding the last.
  template <ULONG DataType, class ItemOf>
  void write_items(ULONG k, ULONG n, ItemOf&& item_of) requires(Structure == kArrayPerElement) {
    if (k >= this->count_) return;
    void* slots = sdk::resize_sub_array(*this->context_, this->array_, k, n);
    if constexpr (DataType == kText) {
      for (ULONG i = 0; i < n; ++i) {
        const auto& item = item_at(item_of, i);
        const std::wstring_view text = view_of(item);
        const auto length = static_cast<ULONG>(text.size());
        sdk::resize_string_data_2d(*this->context_, this->array_, k, i, length);
        sdk::set_string_data_2d(*this->context_, this->array_, k, i, text.data(), length);
      }
    } else {
      if (!slots || n == 0) return;
      auto* items = static_cast<typename Items<Value<DataType>>::Stored*>(slots);
      if (this->constant_) {
        items[0] = item_at(item_of, n - 1);
      } else if constexpr (std::is_pointer_v<std::decay_t<ItemOf>>) {
        std::copy(item_of, item_of + n, items);
      } else {
        for (ULONG i = 0; i < n; ++i) items[i] = item_of(i);
      }
    }
  }
};

}  // namespace frame
