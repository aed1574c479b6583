#pragma once
// The conversion's big arrays: the input, the image, the block table and the chunk that
// measuring reads into. Each is written right after it is allocated, so where first touching
// memory costs a fault per page they go on large pages: aligned to one, rounded up to whole
// ones (the last one is resident whole once touched), and advised to use them
// (LargePages.h). They stay new[] arrays of the standard allocator, uninitialised, and
// std::bad_alloc reports a failure as ever.
#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>

// At least `size` bytes, uninitialised. Release with ReleaseLarge.
void* AllocateLarge(std::size_t size);
void ReleaseLarge(void* block) noexcept;

struct LargeDelete {
    void operator()(unsigned char* block) const noexcept { ReleaseLarge(block); }
};
using LargeArray = std::unique_ptr<unsigned char[], LargeDelete>;

inline LargeArray NewLargeArray(std::size_t size) {
    return LargeArray(static_cast<unsigned char*>(AllocateLarge(size)));
}

// For containers that hold a big array (the block table). As in a new[] array, elements that
// resize() adds are left uninitialised, for the caller to fill: clearing them first would
// cost a pass of its own.
template <class T>
struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <class U>
    LargeAllocator(const LargeAllocator<U>&) noexcept {}
    T* allocate(std::size_t count) { return static_cast<T*>(AllocateLarge(count * sizeof(T))); }
    void deallocate(T* block, std::size_t) noexcept { ReleaseLarge(block); }
    template <class U>
    void construct(U* element) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(element)) U;
    }
    template <class U>
    bool operator==(const LargeAllocator<U>&) const noexcept { return true; }
    template <class U>
    bool operator!=(const LargeAllocator<U>&) const noexcept { return false; }
};
