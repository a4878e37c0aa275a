#pragma once
#include <cstddef>
#include <new>

#include <sys/mman.h>

// Pages of their own for a mipmap chain built ahead of its upload: the chain
// is given back to the system when it is dropped, not kept as a hole in the
// heap that the GL's textures, of another size, do not fill.
template <typename T>
struct PageAllocator {
    using value_type = T;
    PageAllocator() = default;
    template <typename U>
    PageAllocator(const PageAllocator<U>&) {}

    T* allocate(std::size_t count) {
        void* pages = mmap(nullptr, count * sizeof(T), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (pages == MAP_FAILED) throw std::bad_alloc();
        return static_cast<T*>(pages);
    }
    void deallocate(T* texels, std::size_t count) { munmap(texels, count * sizeof(T)); }

    bool operator==(const PageAllocator&) const { return true; }
    bool operator!=(const PageAllocator&) const { return false; }
};
