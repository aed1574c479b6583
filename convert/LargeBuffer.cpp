#include "LargeBuffer.h"

#include <new>

#include "LargePages.h"

void* AllocateLarge(std::size_t size) {
    // Whole large pages: a last, partly used one would otherwise be left to small pages.
    const std::size_t rounded = (size + kLargePage - 1) / kLargePage * kLargePage;
    void* const block = ::operator new[](rounded, std::align_val_t(kLargePage));
    AdviseLargePages(block, rounded);
    return block;
}

void ReleaseLarge(void* block) noexcept { ::operator delete[](block, std::align_val_t(kLargePage)); }
