// The frame's binding file for the contract-only SDK of this folder: what a port to another SDK
// edits, here done for the strictest SDK the contract allows. It declares what the frame's own
// binding file (frame/include/frame/sdk_binding.h) declares, item for item.
#pragma once

#include <cstdint>
#include <type_traits>

#include "xsi_sdk.h"

namespace frame {

using ULONG = XSI::unnamed::U32;
static_assert(std::is_unsigned_v<ULONG> && sizeof(ULONG) == 4);

namespace sdk {

inline XSI::CStatus success() { return XSI::CStatus(XSI::CStatus::UnnamedSuccess); }
inline XSI::CStatus not_lent() { return XSI::CStatus(XSI::CStatus::UnnamedFailure); }
inline XSI::CStatus out_of_memory() { return XSI::CStatus(XSI::CStatus::UnnamedFailure); }
inline XSI::CStatus unexpected() { return XSI::CStatus(XSI::CStatus::UnnamedFailure); }
inline bool lent(const XSI::CStatus& status) {
  return status.UnnamedCodeOf() == XSI::CStatus::UnnamedSuccess;
}

inline XSI::Application::UnnamedSeverity severity(ULONG value) {
  return static_cast<XSI::Application::UnnamedSeverity>(value);
}

inline ULONG element_count(const XSI::CBaseDataArray& array) { return array.UnnamedElementCount(); }
inline ULONG element_count(const XSI::CBaseDataArray2D& array) {
  return array.UnnamedElementCount();
}
inline bool is_constant(const XSI::CBaseDataArray2D& array) { return array.UnnamedIsConstant(); }
inline const ULONG* boolean_words(const XSI::CBaseDataArray& array) {
  return static_cast<const ULONG*>(array.UnnamedData());
}

enum class IndexForm { range, bits, list };
inline IndexForm form(const XSI::CIndexSet& set) {
  switch (set.UnnamedFormOf()) {
    case XSI::CIndexSet::UnnamedBits:
      return IndexForm::bits;
    case XSI::CIndexSet::UnnamedList:
      return IndexForm::list;
    case XSI::CIndexSet::UnnamedRange:
      break;
  }
  return IndexForm::range;
}
inline ULONG count(const XSI::CIndexSet& set) { return set.UnnamedCount(); }
inline const ULONG* data(const XSI::CIndexSet& set) { return set.UnnamedEntries(); }

struct Characters {
  const wchar_t* data = nullptr;
  ULONG length = 0;
};
inline Characters get_string_data(XSI::ICENodeContext& context, XSI::CBaseDataArray& array,
                                  ULONG i) {
  wchar_t* text = nullptr;
  ULONG length = 0;
  context.GetStringData(array, i, text, length);
  return {text, length};
}
inline void resize_string_data(XSI::ICENodeContext& context, XSI::CBaseDataArray& array, ULONG i,
                               ULONG length) {
  wchar_t* unread_buffer = nullptr;
  context.ResizeStringData(array, i, length, unread_buffer);
}
inline void set_string_data(XSI::ICENodeContext& context, XSI::CBaseDataArray& array, ULONG i,
                            const wchar_t* text, ULONG length) {
  context.SetStringData(array, i, text, length);
}

struct SubArray {
  const void* items = nullptr;
  ULONG count = 0;
};
inline SubArray get_sub_array(XSI::ICENodeContext& context, XSI::CBaseDataArray2D& array, ULONG i) {
  void* items = nullptr;
  ULONG count = 0;
  ULONG unread_item_size = 0;
  context.GetSubArray(array, i, items, count, unread_item_size);
  return {items, count};
}
inline void* resize_sub_array(XSI::ICENodeContext& context, XSI::CBaseDataArray2D& array, ULONG i,
                              ULONG n) {
  void* items = nullptr;
  ULONG unread_count = 0;
  ULONG unread_item_size = 0;
  context.ResizeSubArray(array, i, n, items, unread_count, unread_item_size);
  return items;
}
inline void resize_string_data_2d(XSI::ICENodeContext& context, XSI::CBaseDataArray2D& array,
                                  ULONG i, ULONG j, ULONG length) {
  wchar_t* unread_buffer = nullptr;
  context.ResizeStringData2D(array, i, j, length, unread_buffer);
}
inline void set_string_data_2d(XSI::ICENodeContext& context, XSI::CBaseDataArray2D& array, ULONG i,
                               ULONG j, const wchar_t* text, ULONG length) {
  context.SetStringData2D(array, i, j, text, length);
}

inline bool is_constant(const XSI::CBaseDataArray& array) { return array.UnnamedIsConstant(); }
template <class Number>
const Number* numbers(const XSI::CBaseDataArray& array) {
  return static_cast<const Number*>(array.UnnamedData());
}
inline void set_data(XSI::ICENodeContext& context, XSI::CBaseDataArray& array, ULONG i,
                     bool value) {
  context.UnnamedSetData(array, i, value);
}
inline void set_data(XSI::ICENodeContext& context, XSI::CBaseDataArray& array, ULONG i,
                     std::int32_t value) {
  context.UnnamedSetData(array, i, value);
}
inline void set_data(XSI::ICENodeContext& context, XSI::CBaseDataArray& array, ULONG i,
                     float value) {
  context.UnnamedSetData(array, i, value);
}
using BooleanItem = unsigned char;
inline Characters get_string_data_2d(XSI::ICENodeContext& context, XSI::CBaseDataArray2D& array,
                                     ULONG i, ULONG j) {
  wchar_t* text = nullptr;
  ULONG length = 0;
  context.UnnamedGetStringData2D(array, i, j, text, length);
  return {text, length};
}

}  // namespace sdk
}  // namespace frame
