#include "core/bulk_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <new>

namespace {

class TBulkMemory final : public std::pmr::memory_resource {
private:
    // Below this a mapping costs more than the faults it saves.
    static constexpr size_t MappedFrom = size_t(1) << 20;

    static bool Mapped(size_t Bytes, size_t Alignment) {
        static const size_t PageSize = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
        return Bytes >= MappedFrom && Alignment <= PageSize;
    }

    void* do_allocate(size_t Bytes, size_t Alignment) override {
        if (!Mapped(Bytes, Alignment))
            return std::pmr::new_delete_resource()->allocate(Bytes, Alignment);
        void* Block = ::mmap(nullptr, Bytes, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (Block == MAP_FAILED)
            throw std::bad_alloc();
        return Block;
    }

    void do_deallocate(void* Block, size_t Bytes, size_t Alignment) override {
        if (!Mapped(Bytes, Alignment))
            std::pmr::new_delete_resource()->deallocate(Block, Bytes, Alignment);
        else
            ::munmap(Block, Bytes);
    }

    bool do_is_equal(const std::pmr::memory_resource& Other) const noexcept override {
        return this == &Other;
    }
};

} // namespace

std::pmr::memory_resource* BulkMemory() {
    static TBulkMemory Memory;
    return &Memory;
}
