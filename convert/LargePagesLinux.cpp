#include "LargePages.h"

#include <sys/mman.h>

// A transparent huge page on x86-64 (and on arm64 with 4 KiB pages): one fault maps 2 MiB
// instead of 4 KiB, which counts where faults are dear, as on some virtual machines.
const std::size_t kLargePage = std::size_t{1} << 21;

void AdviseLargePages(void* block, std::size_t size) {
    // A refusal (no huge page support, say) leaves the memory as it was: nothing to do.
    madvise(block, size, MADV_HUGEPAGE);
}
