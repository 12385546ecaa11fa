// The frame's one binding to the host's SDK. The host contract names the SDK's classes, their
// operations and the values those take; whatever it leaves open (how this SDK spells a type, a
// status, an enumerator, an accessor, an out-value) stands here and nowhere else. Building the
// frame and the nodes against another SDK that offers the contract's operations means editing
// this file, and linking that SDK's library.
//
// Each item says what the contract promises, then how this SDK spells it. Everything else in the
// frame and the nodes calls only operations the contract names, by the names it gives them.
#pragma once

#include <cstdint>
#include <type_traits>

#include "xsi_sdk.h"  // the SDK's plug-in header

namespace frame {

// Unsigned 32-bit: port ids, data type, structure and context values, counts, element and item
// indices. This SDK: XSI::ULONG, unsigned long on Windows and unsigned int elsewhere.
using ULONG = XSI::ULONG;
static_assert(std::is_unsigned_v<ULONG> && sizeof(ULONG) == 4);

namespace sdk {

// ---- Statuses ----------------------------------------------------------------------------
// The contract gives one code, 0 for success. The failures are this SDK's codes.

// Code 0: success. This SDK: CStatus::OK.
inline XSI::CStatus success() { return XSI::CStatus(XSI::CStatus::OK); }
// The host did not lend an array or the index set. This SDK: CStatus::Fail.
inline XSI::CStatus not_lent() { return XSI::CStatus(XSI::CStatus::Fail); }
// Memory ran out. This SDK: CStatus::MemoryUnavailable.
inline XSI::CStatus out_of_memory() { return XSI::CStatus(XSI::CStatus::MemoryUnavailable); }
// Anything else went wrong. This SDK: CStatus::Unexpected.
inline XSI::CStatus unexpected() { return XSI::CStatus(XSI::CStatus::Unexpected); }
// Whether an acquisition lent its array or index set: code 0. This SDK: Succeeded().
inline bool lent(const XSI::CStatus& status) { return status.Succeeded(); }

// ---- The log -----------------------------------------------------------------------------

// The contract gives LogMessage a severity value (16 at unload). This SDK takes siSeverityType.
inline XSI::siSeverityType severity(ULONG value) { return static_cast<XSI::siSeverityType>(value); }

// ---- Data arrays -------------------------------------------------------------------------

// An array's element count, fixed from acquisition to release (1 until acquired). This SDK:
// GetCount().
inline ULONG element_count(const XSI::CBaseDataArray& array) { return array.GetCount(); }
inline ULONG element_count(const XSI::CBaseDataArray2D& array) { return array.GetCount(); }
// An array-per-element array's constant flag: while set, slot 0 of a sub-array stands for every
// item. This SDK: IsConstant().
inline bool is_constant(const XSI::CBaseDataArray2D& array) { return array.IsConstant(); }
// A boolean array's data: its bits in 32-bit words, element 0 in bit 0 of the first; null reads
// as false. This SDK: GetData().
inline const ULONG* boolean_words(const XSI::CBaseDataArray& array) {
  return static_cast<const ULONG*>(array.GetData());
}

// ---- Index sets --------------------------------------------------------------------------

// The three forms the contract gives an index set.
enum class IndexForm { range, bits, list };

// An index set's form, count, and data: a bit set's words or a list's entries. This SDK:
// GetForm(), GetCount(), GetData().
inline IndexForm form(const XSI::CIndexSet& set) {
  switch (set.GetForm()) {
    case XSI::CIndexSet::Bits:
      return IndexForm::bits;
    case XSI::CIndexSet::List:
      return IndexForm::list;
    case XSI::CIndexSet::Range:
      break;
  }
  return IndexForm::range;
}
inline ULONG count(const XSI::CIndexSet& set) { return set.GetCount(); }
inline const ULONG* data(const XSI::CIndexSet& set) { return set.GetData(); }

// ---- Element operations ------------------------------------------------------------------
// The contract gives each operation's arguments and the out-values a plug-in relies on; the
// types of the out-values, and the constness of the arrays passed, are this SDK's.

// GetStringData: element i's characters and their count.
struct Characters {
  const wchar_t* data = nullptr;
  ULONG length = 0;
};
inline Characters get_string_data(XSI::ICENodeContext& context, XSI::CBaseDataArray& array,
                                  ULONG i) {
  Characters text;
  context.GetStringData(array, i, text.data, text.length);
  return text;
}

// ResizeStringData sizes element i's text; the buffer it hands back is not read.
inline void resize_string_data(XSI::ICENodeContext& context, XSI::CBaseDataArray& array, ULONG i,
                               ULONG length) {
  wchar_t* unread_buffer = nullptr;
  context.ResizeStringData(array, i, length, unread_buffer);
}
inline void set_string_data(XSI::ICENodeContext& context, XSI::CBaseDataArray& array, ULONG i,
                            const wchar_t* text, ULONG length) {
  context.SetStringData(array, i, text, length);
}

// GetSubArray: element i's items and their count; the item size it also hands back is not read.
struct SubArray {
  const void* items = nullptr;
  ULONG count = 0;
};
inline SubArray get_sub_array(XSI::ICENodeContext& context, XSI::CBaseDataArray2D& array, ULONG i) {
  SubArray sub;
  ULONG unread_item_size = 0;
  context.GetSubArray(array, i, sub.items, sub.count, unread_item_size);
  return sub;
}

// ResizeSubArray: n writable items at the pointer it gives (not read for a text array); the
// count and item size it also hands back are not read.
inline void* resize_sub_array(XSI::ICENodeContext& context, XSI::CBaseDataArray2D& array, ULONG i,
                              ULONG n) {
  void* items = nullptr;
  ULONG unread_count = 0;
  ULONG unread_item_size = 0;
  context.ResizeSubArray(array, i, n, items, unread_count, unread_item_size);
  return items;
}

// ResizeStringData2D sizes item j of element i; the buffer it hands back is not read.
inline void resize_string_data_2d(XSI::ICENodeContext& context, XSI::CBaseDataArray2D& array,
                                  ULONG i, ULONG j, ULONG length) {
  wchar_t* unread_buffer = nullptr;
  context.ResizeStringData2D(array, i, j, length, unread_buffer);
}
inline void set_string_data_2d(XSI::ICENodeContext& context, XSI::CBaseDataArray2D& array, ULONG i,
                               ULONG j, const wchar_t* text, ULONG length) {
  context.SetStringData2D(array, i, j, text, length);
}

// ---- Beyond the contract -----------------------------------------------------------------
// What nodes of other shapes than the six need, which the six nodes' contract does not name:
// one-value numeric and boolean data, the constant flag of a one-value array, the texts of an
// array-per-element text input. A host's SDK offers them under names of its own.

// A one-value array's constant flag: while set, element 0 stands for every element. This SDK:
// IsConstant().
inline bool is_constant(const XSI::CBaseDataArray& array) { return array.IsConstant(); }
// A one-value numeric array's elements, one after another, each of the port's type. This SDK:
// GetData().
template <class Number>
const Number* numbers(const XSI::CBaseDataArray& array) {
  return static_cast<const Number*>(array.GetData());
}
// Element i of a one-value numeric or boolean output. This SDK: SetBooleanData,
// SetIntegerData, SetFloatData.
inline void set_data(XSI::ICENodeContext& context, XSI::CBaseDataArray& array, ULONG i,
                     bool value) {
  context.SetBooleanData(array, i, value);
}
inline void set_data(XSI::ICENodeContext& context, XSI::CBaseDataArray& array, ULONG i,
                     std::int32_t value) {
  context.SetIntegerData(array, i, value);
}
inline void set_data(XSI::ICENodeContext& context, XSI::CBaseDataArray& array, ULONG i,
                     float value) {
  context.SetFloatData(array, i, value);
}
// The items of a boolean sub-array, as GetSubArray and ResizeSubArray point at them. This SDK:
// one byte each, 0 or 1.
using BooleanItem = std::uint8_t;
// Item j of element i of an array-per-element text input; GetSubArray gives element i's count
// of texts. This SDK: GetStringData2D.
inline Characters get_string_data_2d(XSI::ICENodeContext& context, XSI::CBaseDataArray2D& array,
                                     ULONG i, ULONG j) {
  Characters text;
  context.GetStringData2D(array, i, j, text.data, text.length);
  return text;
}

}  // namespace sdk
}  // namespace frame
