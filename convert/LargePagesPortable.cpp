#include "LargePages.h"

// Systems without a large-page hint for ordinary allocations take the arrays as they are.
const std::size_t kLargePage = alignof(std::max_align_t);

void AdviseLargePages(void*, std::size_t) {}
