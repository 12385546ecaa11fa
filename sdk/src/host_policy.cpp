// The freedoms of the unforgiving mode, each taken here and nowhere else (see host_policy.h).
#include "host_policy.h"

#include <cstring>
#include <utility>

namespace xsi_host::detail {

namespace {

// A pointer the plug-in must not follow: it addresses no memory at all.
template <class T>
T* wild() {
  return reinterpret_cast<T*>(static_cast<std::uintptr_t>(0xDEAD'BEEF'0000'0000ull));
}

// Sets every bit of 32-bit words from bit count on, and adds a word of set bits after them.
template <class Word>
void set_bits_from(std::vector<Word>& words, ULONG count) {
  if (count % 32 != 0) words[count / 32] |= static_cast<Word>(~((Word{1} << count % 32) - 1));
  words.push_back(0xFFFFFFFF);
}

constexpr wchar_t kGarbageCharacter = L'\x2400';

}  // namespace

void HostPolicy::begin_call() {
  scratch_words_.clear();
  scratch_entries_.clear();
  scratch_texts_.clear();
  garbage_state_ = 0x2545F491;
}

std::uint32_t HostPolicy::garbage() {
  garbage_state_ ^= garbage_state_ << 13;
  garbage_state_ ^= garbage_state_ >> 17;
  garbage_state_ ^= garbage_state_ << 5;
  return garbage_state_;
}

const std::uint32_t* HostPolicy::keep(std::vector<std::uint32_t> words, std::size_t garbage_after) {
  for (std::size_t i = 0; i < garbage_after; ++i) words.push_back(garbage());
  scratch_words_.push_back(std::move(words));
  return scratch_words_.back().data();
}

XSI::CStatus HostPolicy::reported(XSI::CStatus status) const {
  return strict_ ? XSI::CStatus::Fail : status;
}

const void* HostPolicy::array_data(const std::vector<std::uint32_t>& words, ULONG data_type,
                                   ULONG count, bool constant) {
  if (!strict_) return words.empty() ? nullptr : words.data();
  if (words.empty()) return keep({}, 2);
  const bool booleans = data_type == XSI::siICENodeDataBool;
  if (constant && count > 1) {
    std::vector<std::uint32_t> first = {words[0]};
    if (booleans) set_bits_from(first, 1);
    return keep(std::move(first), booleans ? 0 : count - 1);
  }
  std::vector<std::uint32_t> copy = words;
  if (booleans) set_bits_from(copy, count);
  return keep(std::move(copy), 0);
}

const ULONG* HostPolicy::index_data(XSI::CIndexSet::Form form, ULONG count,
                                    const std::vector<ULONG>& data) {
  if (!strict_) return data.empty() ? nullptr : data.data();
  std::vector<ULONG> entries = data;
  if (form == XSI::CIndexSet::Bits) {
    set_bits_from(entries, count);
  } else if (form == XSI::CIndexSet::List) {
    // Element indices that a walk past the count would visit.
    for (ULONG k = 0; k < 4; ++k) entries.push_back(k);
  } else {
    entries = {garbage(), garbage()};
  }
  scratch_entries_.push_back(std::move(entries));
  return scratch_entries_.back().data();
}

const wchar_t* HostPolicy::text_to_read(const std::wstring& text) {
  if (!strict_) return text.data();
  return scratch_texts_.emplace_back(text + std::wstring(2, kGarbageCharacter)).data();
}

wchar_t* HostPolicy::size_text(std::wstring& text, ULONG length) {
  if (!strict_) {
    text.resize(length);
    return text.data();
  }
  text.assign(length, kGarbageCharacter);
  return wild<wchar_t>();
}

std::pair<const void*, ULONG> HostPolicy::items_to_read(const void* items, ULONG count,
                                                        ULONG item_size, bool constant) {
  if (!strict_) return {items, item_size};
  const ULONG unread_item_size = garbage();
  if (item_size == 0) return {wild<void>(), unread_item_size};
  if (count == 0) return {keep({}, 2), unread_item_size};
  if (constant) {
    // Slot 0 as it is, then garbage to the end of the items.
    const std::size_t bytes = std::size_t{count} * item_size;
    std::vector<std::uint32_t> words;
    for (std::size_t i = 0; i < (bytes + 3) / 4; ++i) words.push_back(garbage());
    std::memcpy(words.data(), items, item_size);
    return {keep(std::move(words), 0), unread_item_size};
  }
  return {items, unread_item_size};
}

HostPolicy::Sized HostPolicy::sized_items(void* items, ULONG count, ULONG item_size) {
  if (!strict_) return {items, count, item_size};
  for (std::size_t j = 0; j < std::size_t{count} * item_size; ++j)
    static_cast<unsigned char*>(items)[j] = static_cast<unsigned char>(garbage());
  const ULONG garbage_count = garbage();
  return {items, garbage_count, garbage()};
}

HostPolicy::Sized HostPolicy::sized_texts(TextItems& texts) {
  const auto count = static_cast<ULONG>(texts.count);
  if (!strict_) return {nullptr, count, 0};
  for (std::size_t j = 0; j < texts.count; ++j) texts.texts[j] = L"\x2400 stale";
  const ULONG garbage_count = garbage();
  return {wild<void>(), garbage_count, garbage()};
}

}  // namespace xsi_host::detail
