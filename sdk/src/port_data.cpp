// What the host stores in a port: one value or an array of items per element, kept across calls.
#include <bit>

#include "xsi_host.h"

namespace xsi_host {

namespace {

// Whether port holds values of this type and structure, and has an element at index element:
// the one test every setter makes, so that none writes past the count.
bool settable(const PortData& port, ULONG data_type, ULONG structure, ULONG element) {
  return port.data_type() == data_type && port.structure() == structure &&
         element < port.element_count();
}

}  // namespace

PortData::PortData(ULONG id, ULONG data_type, ULONG structure, ULONG element_count)
    : id_(id), data_type_(data_type), structure_(structure), element_count_(element_count) {
  written_.assign(element_count, 0);
  const bool single = structure == XSI::siICENodeStructureSingle;
  switch (data_type) {
    case XSI::siICENodeDataBool:
      if (single)
        words_.assign((element_count + 31) / 32, 0);
      else
        boolean_items_.resize(element_count);
      break;
    case XSI::siICENodeDataLong:
      if (single)
        words_.assign(element_count, 0);
      else
        integer_items_.resize(element_count);
      break;
    case XSI::siICENodeDataFloat:
      if (single)
        words_.assign(element_count, 0);
      else
        float_items_.resize(element_count);
      break;
    case XSI::siICENodeDataString:
      if (single)
        texts_.resize(element_count);
      else
        text_items_.resize(element_count);
      break;
    default:
      break;
  }
}

PortData::~PortData() = default;
PortData::PortData(PortData&&) noexcept = default;
PortData& PortData::operator=(PortData&&) noexcept = default;

void PortData::set_text(ULONG element, std::wstring_view text) {
  if (settable(*this, XSI::siICENodeDataString, XSI::siICENodeStructureSingle, element))
    texts_[element].assign(text);
}

void PortData::set_boolean(ULONG element, bool value) {
  if (!settable(*this, XSI::siICENodeDataBool, XSI::siICENodeStructureSingle, element)) return;
  const std::uint32_t bit = 1u << (element % 32);
  words_[element / 32] = value ? (words_[element / 32] | bit) : (words_[element / 32] & ~bit);
}

void PortData::set_integer(ULONG element, std::int32_t value) {
  if (settable(*this, XSI::siICENodeDataLong, XSI::siICENodeStructureSingle, element))
    words_[element] = static_cast<std::uint32_t>(value);
}

void PortData::set_float(ULONG element, float value) {
  if (settable(*this, XSI::siICENodeDataFloat, XSI::siICENodeStructureSingle, element))
    words_[element] = std::bit_cast<std::uint32_t>(value);
}

void PortData::set_booleans(ULONG element, const std::vector<bool>& items) {
  if (settable(*this, XSI::siICENodeDataBool, XSI::siICENodeStructureArray, element))
    boolean_items_[element].assign(items.begin(), items.end());
}

void PortData::set_integers(ULONG element, std::span<const std::int32_t> items) {
  if (settable(*this, XSI::siICENodeDataLong, XSI::siICENodeStructureArray, element))
    integer_items_[element].assign(items.begin(), items.end());
}

void PortData::set_floats(ULONG element, std::span<const float> items) {
  if (settable(*this, XSI::siICENodeDataFloat, XSI::siICENodeStructureArray, element))
    float_items_[element].assign(items.begin(), items.end());
}

void PortData::set_texts(ULONG element, std::span<const std::wstring> items) {
  if (!settable(*this, XSI::siICENodeDataString, XSI::siICENodeStructureArray, element)) return;
  text_items_[element].texts.assign(items.begin(), items.end());
  text_items_[element].count = items.size();
}

Value PortData::value(ULONG element) const {
  if (element >= element_count_ || structure_ != XSI::siICENodeStructureSingle) return {};
  switch (data_type_) {
    case XSI::siICENodeDataBool:
      return ((words_[element / 32] >> (element % 32)) & 1u) != 0;
    case XSI::siICENodeDataLong:
      return static_cast<std::int32_t>(words_[element]);
    case XSI::siICENodeDataFloat:
      return std::bit_cast<float>(words_[element]);
    case XSI::siICENodeDataString:
      return texts_[element];
    default:
      return {};
  }
}

std::vector<Value> PortData::items(ULONG element) const {
  if (element >= element_count_) return {};
  if (structure_ == XSI::siICENodeStructureSingle) return {value(element)};
  switch (data_type_) {
    case XSI::siICENodeDataBool: {
      std::vector<Value> items;
      for (const std::uint8_t item : boolean_items_[element]) items.emplace_back(item != 0);
      return items;
    }
    case XSI::siICENodeDataLong:
      return std::vector<Value>(integer_items_[element].begin(), integer_items_[element].end());
    case XSI::siICENodeDataFloat:
      return std::vector<Value>(float_items_[element].begin(), float_items_[element].end());
    case XSI::siICENodeDataString: {
      const detail::TextItems& items = text_items_[element];
      return std::vector<Value>(items.texts.begin(),
                                items.texts.begin() + static_cast<std::ptrdiff_t>(items.count));
    }
    default:
      return {};
  }
}

ULONG PortData::item_count(ULONG element) const {
  if (element >= element_count_) return 0;
  if (structure_ == XSI::siICENodeStructureSingle) return 1;
  switch (data_type_) {
    case XSI::siICENodeDataBool:
      return static_cast<ULONG>(boolean_items_[element].size());
    case XSI::siICENodeDataLong:
      return static_cast<ULONG>(integer_items_[element].size());
    case XSI::siICENodeDataFloat:
      return static_cast<ULONG>(float_items_[element].size());
    case XSI::siICENodeDataString:
      return static_cast<ULONG>(text_items_[element].count);
    default:
      return 0;
  }
}

bool PortData::written(ULONG element) const {
  return element < written_.size() && (written_[element] & kWritten) != 0;
}

bool PortData::sizing_refused(ULONG element) const {
  return element < written_.size() && (written_[element] & kSizingRefused) != 0;
}

}  // namespace xsi_host
