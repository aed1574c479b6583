#pragma once
// What the platform offers for the big arrays of LargeBuffer.h.
#include <cstddef>

// Alignment and size step of the big arrays: a large page where the system has them.
extern const std::size_t kLargePage;

// Asks the system to back `block`, kLargePage-aligned and `size` bytes long, with large
// pages. Only a hint: where they are not to be had, nothing changes.
void AdviseLargePages(void* block, std::size_t size);
