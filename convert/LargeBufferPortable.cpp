#include "LargeBuffer.h"

// Systems without a large-page hint for ordinary allocations take the arrays as they are.
void AdviseLargeBuffer(void*, std::size_t) {}
