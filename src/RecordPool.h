// Pooled allocation for the engine's many small records (cells and headers of the split
// grid): a class routes its operator new and delete to PooledNew<T> and PooledDelete<T>, and
// its records then come from one RecordPool<T> of blocks sized for it. A load of a large
// split file makes and frees tens of thousands of them; the pool hands them out side by side
// and reuses freed ones at once. Under AddressSanitizer the plain heap is used, so the
// checker still sees every record. Internal to the engine; not thread-safe.
#pragma once

#include <algorithm>
#include <cstddef>
#include <new>

namespace quorvel_detail {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPlainHeap = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPlainHeap = true;
#else
constexpr bool kPlainHeap = false;
#endif
#else
constexpr bool kPlainHeap = false;
#endif

// Hands out blocks sized for one T: a freed block goes on a free list and is the next one
// handed out; with the list empty, blocks are cut in address order from the newest chunk
// taken from the heap, so records made one after the other lie side by side and the part
// of a chunk not yet handed out is never touched. Chunks are never given back, and each
// begins with a link to the one before it, so leak checkers see all of them as reachable.
// Not thread-safe.
template <typename T>
class RecordPool {
  public:
    void* Take() {
        if (free_ != nullptr) {
            FreeBlock* block = free_;
            free_ = block->next;
            return block;
        }
        if (unused_ == unusedEnd_) {
            Grow();
        }
        std::byte* block = unused_;
        unused_ += kBlockSize;
        return block;
    }

    void Give(void* block) noexcept { free_ = ::new (block) FreeBlock{free_}; }

  private:
    struct FreeBlock {
        FreeBlock* next;
    };
    struct ChunkHead {
        ChunkHead* next;
    };
    static constexpr std::size_t RoundUp(std::size_t n, std::size_t to) {
        return (n + to - 1) / to * to;
    }
    static constexpr std::size_t kAlign = std::max(alignof(T), alignof(FreeBlock));
    static constexpr std::size_t kBlockSize =
        RoundUp(std::max(sizeof(T), sizeof(FreeBlock)), kAlign);
    static constexpr std::size_t kHeadSize = RoundUp(sizeof(ChunkHead), kAlign);
    static constexpr std::size_t kMaxChunkBlocks = 1024;
    static_assert(kAlign <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);

    // Takes a new chunk from the heap, twice the size of the one before up to
    // kMaxChunkBlocks blocks.
    void Grow() {
        const std::size_t blocks = chunkBlocks_;
        chunkBlocks_ = std::min(chunkBlocks_ * 2, kMaxChunkBlocks);
        void* bytes = ::operator new(kHeadSize + blocks * kBlockSize);
        chunks_ = ::new (bytes) ChunkHead{chunks_};
        unused_ = static_cast<std::byte*>(bytes) + kHeadSize;
        unusedEnd_ = unused_ + blocks * kBlockSize;
    }

    FreeBlock* free_ = nullptr;
    std::byte* unused_ = nullptr;  // the newest chunk's blocks not yet handed out
    std::byte* unusedEnd_ = nullptr;
    ChunkHead* chunks_ = nullptr;
    std::size_t chunkBlocks_ = 64;
};

// The one pool of records of type T.
template <typename T>
inline constinit RecordPool<T> g_recordPool;

// operator new of a pooled record: a block of the pool, or the heap for another size (a
// derived class) and under AddressSanitizer.
template <typename T>
void* PooledNew(std::size_t size) {
    if (kPlainHeap || size != sizeof(T)) {
        return ::operator new(size);
    }
    return g_recordPool<T>.Take();
}

// operator delete of a pooled record: the block goes back where PooledNew took it from.
template <typename T>
void PooledDelete(void* block, std::size_t size) noexcept {
    if (block == nullptr) {
        return;
    }
    if (kPlainHeap || size != sizeof(T)) {
        ::operator delete(block);
        return;
    }
    g_recordPool<T>.Give(block);
}

}  // namespace quorvel_detail

using quorvel_detail::PooledDelete;
using quorvel_detail::PooledNew;
