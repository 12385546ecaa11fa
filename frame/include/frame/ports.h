// One port's data array for one call, typed on the port's whole shape (data type and
// structure): one reader per input shape, one writer per output shape. Nothing is read or
// written past an array's element count: an element that is not there reads as empty (an
// empty text, false, 0, no items) and is not written.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "frame/node.h"
#include "frame/values.h"

namespace frame {

// The C++ type of a value or an item of a port of the given data type.
template <ULONG DataType>
using Value = std::conditional_t<
    DataType == kBoolean, bool,
    std::conditional_t<DataType == kInteger, std::int32_t,
                       std::conditional_t<DataType == kFloat, float, std::wstring_view>>>;

// What an input of a shape gives a computation.
template <ULONG DataType, ULONG Structure>
using Read =
    std::conditional_t<Structure == kOnePerElement, Value<DataType>,
                       std::conditional_t<DataType == kText, Texts, Items<Value<DataType>>>>;

// The SDK's array class for a port of either structure.
template <ULONG Structure>
using HostArray =
    std::conditional_t<Structure == kOnePerElement, XSI::CBaseDataArray, XSI::CBaseDataArray2D>;

// One port's data array for one call: acquired from the context, released when it goes out of
// scope if the host lent it. Its count and constant flag are fixed from acquisition to release,
// and read once.
template <ULONG DataType, ULONG Structure>
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

template <ULONG DataType, ULONG Structure>
class InputArray : public PortArray<DataType, Structure> {
 public:
  // The element that stands for element k when an input is read at each element: element 0
  // while the host hands the array over as one value for every element, else k.
  ULONG standing_for(ULONG k) {
    if constexpr (Structure == kOnePerElement) {
      if (!asked_constant_) this->constant_ = sdk::is_constant(this->array_);
      asked_constant_ = true;
    }
    return this->constant_ ? 0 : k;
  }

  // Element i: a text as exactly its characters (no terminator looked for), a boolean as its
  // bit of the array's words, a number as itself, an array's items as Items or Texts.
  Read<DataType, Structure> read(ULONG i) {
    const bool there = i < this->count_;
    if constexpr (Structure == kArrayPerElement) {
      // The host promises the pointer and the count; the data type says what an item is.
      const sdk::SubArray sub =
          there ? sdk::get_sub_array(*this->context_, this->array_, i) : sdk::SubArray();
      if constexpr (DataType == kText) {
        return Texts(*this->context_, this->array_, i, there ? sub.count : 0, this->constant_);
      } else {
        using Stored = typename Read<DataType, Structure>::Stored;
        if (!sub.items) return {};
        return {static_cast<const Stored*>(sub.items), sub.count, this->constant_};
      }
    } else if constexpr (DataType == kText) {
      if (!there) return {};
      const sdk::Characters text = sdk::get_string_data(*this->context_, this->array_, i);
      return text.data ? std::wstring_view(text.data, text.length) : std::wstring_view();
    } else if constexpr (DataType == kBoolean) {
      const ULONG* words = held_data();
      return there && words && ((words[i / 32] >> (i % 32)) & 1u) != 0;
    } else {
      const Value<DataType>* numbers = held_data();
      return there && numbers ? numbers[i] : Value<DataType>{};
    }
  }

 private:
  // A one-value boolean array's words, or a numeric one's numbers.
  using Held = std::conditional_t<DataType == kBoolean, ULONG, Value<DataType>>;

  // The data of a one-value boolean or numeric array, fixed from acquisition to release: asked
  // of the host when first read, once, not for every element.
  const Held* held_data() {
    if (!asked_data_) {
      if constexpr (DataType == kBoolean)
        data_ = sdk::boolean_words(this->array_);
      else
        data_ = sdk::numbers<Held>(this->array_);
    }
    asked_data_ = true;
    return data_;
  }

  bool asked_constant_ = false;
  bool asked_data_ = false;
  const Held* data_ = nullptr;
};

// Item i, whether items gives it or points at it among the others.
template <class ItemsOf>
decltype(auto) item_at(ItemsOf& items, ULONG i) {
  if constexpr (std::is_pointer_v<ItemsOf>)
    return items[i];
  else
    return items(i);
}

template <ULONG DataType, ULONG Structure>
class OutputArray : public PortArray<DataType, Structure> {
 public:
  // Element k of a one-value output: a text sized then set; a number or a boolean set.
  template <class T>
  void write(ULONG k, const T& value) requires(Structure == kOnePerElement) {
    if (k >= this->count_) return;
    if constexpr (DataType == kText) {
      const std::wstring_view text = view_of(value);
      const auto length = static_cast<ULONG>(text.size());
      sdk::resize_string_data(*this->context_, this->array_, k, length);
      sdk::set_string_data(*this->context_, this->array_, k, text.data(), length);
    } else {
      sdk::set_data(*this->context_, this->array_, k, static_cast<Value<DataType>>(value));
    }
  }

  // Element k of an array-per-element output: exactly n items, item_of(i) giving item i (or
  // item_of[i], when it points at them all); the sub-array sized once, to n, before any item is
  // written. A text item is held while it is written, so that one built in place is never
  // copied; the pointer ResizeSubArray gives for texts is not read. Every numeric or boolean
  // item is written (the host promises n writable items and nothing of their content); while
  // the output's constant flag is set, slot 0 alone stands for them all and ends holding the
  // last.
  template <class ItemOf>
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
