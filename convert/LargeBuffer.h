#pragma once
// A hint for the conversion's big arrays (input, image, block table), which are written
// whole right after they are allocated.
#include <cstddef>

// Asks the system to back `block`, freshly allocated and `size` bytes long, with large
// pages where it can, so that its first writes take one page fault per large page instead
// of one per small page. Only a hint: the block's allocation, content and lifetime stay as
// they are, and where large pages are not to be had nothing changes.
void AdviseLargeBuffer(void* block, std::size_t size);
