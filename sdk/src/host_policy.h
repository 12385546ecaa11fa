// What an evaluation hands a plug-in where the host's contract leaves the host free.
//
// A plug-in may rely on what the contract promises, and on nothing the ordinary stand-in merely
// happens to do more kindly. The ordinary stand-in is kind: it hands out what a plug-in would
// most expect. The unforgiving mode (Evaluation::set_strict) takes every freedom the contract
// leaves, where a plug-in that keeps to the contract gives the same results as in the ordinary
// mode. This is the one list of those freedoms, and the one place that takes them:
//  * Every element operation (GetStringData, ResizeStringData, SetStringData, GetSubArray,
//    ResizeSubArray, ResizeStringData2D, SetStringData2D, GetStringData2D, SetBooleanData,
//    SetIntegerData, SetFloatData) and every release reports a failed status, whether it worked
//    or not: only an acquisition's status means anything.
//  * The out-values left unread are garbage: the item size of GetSubArray and ResizeSubArray,
//    the count of ResizeSubArray, the item pointer GetSubArray and ResizeSubArray give for a
//    text array, and the buffer pointer of ResizeStringData and ResizeStringData2D, which
//    points at no memory.
//  * Storage handed out is stale, not zeroed: a sized sub-array holds garbage numbers,
//    booleans or texts in every item, a sized text garbage characters, until the plug-in writes
//    them.
//  * A text read with GetStringData or GetStringData2D is a copy with no terminator: garbage
//    follows its length.
//  * An empty input sub-array comes with a pointer to garbage, and while the input's constant
//    flag is set, every slot of a sub-array but slot 0 holds garbage.
//  * While a one-value input's constant flag is set, every element of its data but element 0
//    holds garbage.
//  * A bit-set index set has every bit at and above its bit count set, a word of them more
//    than the count needs; a list has element indices stored past its count; a range carries
//    a data pointer to garbage.
//  * A boolean array's words have every bit past the element count set, and the data of an
//    array with no elements, or of a text array, is garbage rather than null.
// The element operations ask this policy for each of these values and do as it answers; none of
// them tests the mode itself.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "xsi_host.h"

namespace xsi_host::detail {

class HostPolicy {
 public:
  // The unforgiving mode on or off; set between calls, not during one.
  void set_strict(bool on) { strict_ = on; }
  bool strict() const { return strict_; }
  // Forgets what the last call was handed, and restarts the garbage, so that a call in the
  // unforgiving mode is as repeatable as any other.
  void begin_call();

  // The status an element operation or a release reports, given what happened.
  XSI::CStatus reported(XSI::CStatus status) const;

  // What GetData gives for an array of one value per element, whose storage is words (a
  // boolean, integer or float array; empty for a text array) of count elements, element 0
  // standing for every element while constant.
  const void* array_data(const std::vector<std::uint32_t>& words, ULONG data_type, ULONG count,
                         bool constant);
  // What the index set's GetData gives, for the set of this form and count stored in data.
  const ULONG* index_data(XSI::CIndexSet::Form form, ULONG count, const std::vector<ULONG>& data);

  // The characters GetStringData gives for text.
  const wchar_t* text_to_read(const std::wstring& text);
  // Sizes text to length characters for ResizeStringData and ResizeStringData2D; gives the
  // buffer pointer they hand out.
  wchar_t* size_text(std::wstring& text, ULONG length);

  // The items pointer and the item size GetSubArray gives for count items of item_size bytes
  // at items (no pointer for texts, item_size 0), the input's constant flag as given.
  std::pair<const void*, ULONG> items_to_read(const void* items, ULONG count, ULONG item_size,
                                              bool constant);

  // What ResizeSubArray hands out once it has sized a sub-array.
  struct Sized {
    void* items;
    ULONG count;
    ULONG item_size;
  };
  // count numbers or booleans of item_size bytes at items; they hold whatever they held.
  Sized sized_items(void* items, ULONG count, ULONG item_size);
  // texts, the element's items, sized to count and emptied past what the element held.
  Sized sized_texts(TextItems& texts);

 private:
  // The next garbage word, from a sequence that restarts with every call.
  std::uint32_t garbage();
  // words kept for the rest of the call, garbage_after garbage words after them.
  const std::uint32_t* keep(std::vector<std::uint32_t> words, std::size_t garbage_after);

  bool strict_ = false;
  // What the unforgiving mode hands out besides the ports' own storage: copies with garbage
  // around them, kept until the next call begins.
  std::deque<std::vector<std::uint32_t>> scratch_words_;
  std::deque<std::vector<ULONG>> scratch_entries_;
  std::deque<std::wstring> scratch_texts_;
  std::uint32_t garbage_state_ = 0;
};

}  // namespace xsi_host::detail
