#include "LargeBuffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

void AdviseLargeBuffer(void* block, std::size_t size) {
    // Only whole pages inside the block, so the advice never reaches a neighbour's memory.
    // The kernel then uses a transparent huge page wherever an aligned one fits inside.
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t begin = reinterpret_cast<uintptr_t>(block);
    const uintptr_t first = (begin + page - 1) & ~(page - 1);
    const uintptr_t last = (begin + size) & ~(page - 1);
    if (last > first) {
        // A refusal (no huge page support, say) leaves the memory as it was: nothing to do.
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}
