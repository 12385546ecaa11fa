// The global operator new and delete of a test program, replaced so that the program sees every
// allocation the SDK and the plug-ins make: on Linux they share the program's. Each allocation
// first calls on_allocation(), which the program defines, and which may throw std::bad_alloc to
// make that allocation fail. Include it in one source file of the program.
#pragma once

#include <cstdlib>
#include <new>

void on_allocation();

void* operator new(std::size_t size) {
  on_allocation();
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
