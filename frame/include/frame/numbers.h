// The numbers a computation gives for an array-per-element output, the first 16 held in the
// object itself: a call that gives few numbers allocates nothing for them.
//
//   frame::Numbers<float> values;
//   values.push_back(1.5f);                        // inline
//   frame::Numbers<std::int32_t> codes;
//   std::int32_t* slots = codes.resize(1024);      // on the heap, to be filled
#pragma once

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <span>
#include <utility>

namespace frame {

template <class T>
class Numbers {
 public:
  using value_type = T;
  static constexpr std::size_t kInline = 16;

  Numbers() = default;
  Numbers(std::initializer_list<T> values) {
    std::copy(values.begin(), values.end(), resize(values.size()));
  }
  Numbers(const Numbers& other) { std::copy(other.begin(), other.end(), resize(other.size())); }
  Numbers(Numbers&& other) noexcept { take(other); }
  Numbers& operator=(const Numbers& other) {
    if (this != &other) {
      Numbers copy(other);
      *this = std::move(copy);
    }
    return *this;
  }
  Numbers& operator=(Numbers&& other) noexcept {
    if (this != &other) {
      heap_.reset();
      take(other);
    }
    return *this;
  }
  ~Numbers() = default;

  // Room for count numbers in all, so that adding them allocates once at the most.
  void reserve(std::size_t count) {
    if (count > capacity_) move_to(count);
  }

  void push_back(T value) {
    if (size_ == capacity_) move_to(2 * capacity_);
    data()[size_++] = value;
  }

  // Makes the size count and gives the numbers to fill: those kept keep their values.
  T* resize(std::size_t count) {
    reserve(count);
    size_ = count;
    return data();
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const T* data() const { return heap_ ? heap_.get() : inline_; }
  T* data() { return heap_ ? heap_.get() : inline_; }
  const T* begin() const { return data(); }
  const T* end() const { return data() + size_; }
  T operator[](std::size_t i) const { return data()[i]; }
  std::span<const T> span() const { return {data(), size_}; }

  friend bool operator==(const Numbers& a, const Numbers& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

 private:
  // Moves the numbers to a heap block of the given capacity.
  void move_to(std::size_t capacity) {
    auto block = std::make_unique_for_overwrite<T[]>(capacity);
    std::copy(begin(), end(), block.get());
    heap_ = std::move(block);
    capacity_ = capacity;
  }

  void take(Numbers& other) noexcept {
    size_ = other.size_;
    capacity_ = other.capacity_;
    if (other.heap_) {
      heap_ = std::move(other.heap_);
    } else {
      std::copy(other.inline_, other.inline_ + other.size_, inline_);
    }
    other.size_ = 0;
    other.capacity_ = kInline;
  }

  T inline_[kInline];
  std::unique_ptr<T[]> heap_;
  std::size_t size_ = 0;
  std::size_t capacity_ = kInline;
};

}  // namespace frame
