// A growing array of trivially copyable items, the first N held in the object itself, so that a
// short one allocates nothing; longer, on the heap. Header-only, beneath every room that builds
// short arrays and texts (text_unicode's own, text_regex's, the frame's, the nodes').
//
//   SmallVector<float, 16> values;
//   values.push_back(1.5f);                       // inline
//   float* slots = values.resize(1024);           // on the heap, to be filled
#pragma once

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <span>
#include <type_traits>

namespace text_unicode {

template <class T, std::size_t N>
class SmallVector {
  static_assert(std::is_trivially_copyable_v<T> && N > 0);

 public:
  using value_type = T;
  static constexpr std::size_t kInline = N;

  SmallVector() = default;
  SmallVector(std::initializer_list<T> items) { append(items.begin(), items.size()); }
  // A copy holds the other's items, and no more: the rest of the inline room is not written.
  SmallVector(const SmallVector& other) { copy(other); }
  SmallVector(SmallVector&& other) noexcept { take(other); }
  SmallVector& operator=(const SmallVector& other) {
    if (this != &other) {
      size_ = 0;
      copy(other);
    }
    return *this;
  }
  SmallVector& operator=(SmallVector&& other) noexcept {
    if (this != &other) {
      heap_.reset();
      take(other);
    }
    return *this;
  }
  ~SmallVector() = default;

  // Room for count items in all, so that adding up to them allocates once at the most.
  void reserve(std::size_t count) {
    if (count > capacity_) grow_to(std::max(count, size_));
  }
  void push_back(const T& item) {
    if (size_ >= capacity_) grow_to(std::max(2 * capacity_, size_ + 1));
    data_[size_++] = item;
  }
  void append(const T* items, std::size_t count) {
    std::copy_n(items, count, append_for_overwrite(count));
  }
  // Adds count items, given to be written.
  T* append_for_overwrite(std::size_t count) {
    if (size_ + count > capacity_) grow_to(std::max(size_ + count, 2 * capacity_));
    size_ += count;
    return data_ + size_ - count;
  }
  // Makes the size count and gives the items to fill: those kept keep their values.
  T* resize(std::size_t count) {
    reserve(count);
    size_ = count;
    return data_;
  }
  void clear() { size_ = 0; }
  // Empties it, dropping any items it viewed, with room for count items: inline when they fit,
  // so that a text rebuilt in place costs no call when it is short.
  void clear_for(std::size_t count) {
    size_ = 0;
    if (count <= capacity_) return;
    if (count <= N) {
      data_ = inline_;
      capacity_ = N;
    } else {
      grow_to(count);
    }
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const T* data() const { return data_; }
  T* data() { return data_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T& operator[](std::size_t i) const { return data_[i]; }
  T& operator[](std::size_t i) { return data_[i]; }
  const T& front() const { return data_[0]; }
  T& front() { return data_[0]; }
  const T& back() const { return data_[size_ - 1]; }
  T& back() { return data_[size_ - 1]; }
  std::span<const T> span() const { return {data_, size_}; }

  friend bool operator==(const SmallVector& a, const SmallVector& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

 protected:
  // Items that lie elsewhere, viewed and not copied: valid while they are. Only a const view
  // may be given out of such a vector; the first change copies them in.
  explicit SmallVector(std::span<const T> viewed) noexcept
      : data_(const_cast<T*>(viewed.data())), size_(viewed.size()), capacity_(0) {}

 private:
  // Moves the items to room for capacity of them (at least size_): inline when they fit and are
  // not there yet, else a heap block. Apart from the callers, which stay small enough to inline.
  [[gnu::noinline]] void grow_to(std::size_t capacity) {
    if (capacity <= N && data_ != inline_) {
      std::copy_n(data_, size_, inline_);
      data_ = inline_;
      capacity_ = N;
      return;
    }
    auto block = std::make_unique_for_overwrite<T[]>(capacity);
    std::copy_n(data_, size_, block.get());
    heap_ = std::move(block);
    data_ = heap_.get();
    capacity_ = capacity;
  }

  void copy(const SmallVector& other) {
    if (other.capacity_ == 0) {
      heap_.reset();
      data_ = other.data_;
      size_ = other.size_;
      capacity_ = 0;
      return;
    }
    append(other.data_, other.size_);
  }

  void take(SmallVector& other) noexcept {
    size_ = other.size_;
    capacity_ = other.capacity_;
    if (other.data_ == other.inline_) {
      std::copy_n(other.inline_, other.size_, inline_);
      data_ = inline_;
    } else {
      heap_ = std::move(other.heap_);
      data_ = other.data_;
    }
    other.data_ = other.inline_;
    other.size_ = 0;
    other.capacity_ = N;
  }

  T* data_ = inline_;
  std::size_t size_ = 0;
  std::size_t capacity_ = N;  // of the room at data_; 0 while viewing items that lie elsewhere
  std::unique_ptr<T[]> heap_;
  T inline_[N];
};

}  // namespace text_unicode
