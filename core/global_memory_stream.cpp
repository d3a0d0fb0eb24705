#include "core/global_memory_stream.h"

#include "core/error.h"
#include "core/numbers.h"
#include "core/text_table.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

TGlobalMemoryStream::~TGlobalMemoryStream() { DropBlock(); }

void TGlobalMemoryStream::DropBlock() {
    if (FCapacity > 0)
        delete FHandle;
    FHandle = nullptr;
    FCapacity = 0;
}

int64_t TGlobalMemoryStream::Read(void* Buffer, int64_t Count) {
    int64_t N = std::min(Count, FSize - FPosition);
    if (N <= 0)
        return 0;
    std::memcpy(Buffer, FHandle->Bytes.data() + FPosition, static_cast<size_t>(N));
    FPosition += N;
    return N;
}

void TGlobalMemoryStream::Reserve(int64_t End) {
    int64_t Available = FCapacity > 0 ? FCapacity
                                      : (FHandle ? static_cast<int64_t>(FHandle->Bytes.size()) : 0);
    if (End <= Available)
        return;
    if (End > std::numeric_limits<int32_t>::max())
        RaiseError(GetText(TTextSlot::NotEnoughMemory));
    int64_t NewCapacity = End <= 4096 ? 4096 : GrowCapacity(static_cast<int32_t>(End - 1));
    // Build the new block completely before letting go of the old one, so a
    // failed allocation leaves the stream as it was.
    auto Block = std::make_unique<TMemoryBlock>();
    try {
        Block->Bytes.resize(static_cast<size_t>(NewCapacity));
    } catch (const std::bad_alloc&) {
        RaiseError(GetText(TTextSlot::NotEnoughMemory));
    }
    if (FHandle && FSize > 0)
        std::memcpy(Block->Bytes.data(), FHandle->Bytes.data(), static_cast<size_t>(FSize));
    DropBlock();
    FHandle = Block.release();
    FCapacity = NewCapacity;
}

int64_t TGlobalMemoryStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0)
        return 0;
    int64_t End = FPosition + Count;
    if (End > FSize)
        Reserve(End);
    std::memcpy(FHandle->Bytes.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = End;
    FSize = std::max(FSize, End);
    return Count;
}

int64_t TGlobalMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int64_t Base = Origin == TSeekOrigin::Beginning ? 0
                   : Origin == TSeekOrigin::Current ? FPosition
                                                    : FSize;
    FPosition = std::max<int64_t>(0, Origin == TSeekOrigin::End ? Base - Offset : Base + Offset);
    return FPosition;
}

void TGlobalMemoryStream::SetSize(int64_t NewSize) {
    NewSize = std::max<int64_t>(0, NewSize);
    if (NewSize > FSize)
        Reserve(NewSize);
    if (NewSize > FSize)
        std::memset(FHandle->Bytes.data() + FSize, 0, static_cast<size_t>(NewSize - FSize));
    FSize = NewSize;
    FPosition = std::min(FPosition, FSize);
}

void TGlobalMemoryStream::Attach(TMemoryBlock* Block) {
    DropBlock();
    FHandle = Block;
    FPosition = 0;
    FSize = Block ? static_cast<int64_t>(Block->Bytes.size()) : 0;
}

void TGlobalMemoryStream::Clear() {
    DropBlock();
    FPosition = 0;
    FSize = 0;
}

std::unique_ptr<TMemoryBlock> TGlobalMemoryStream::TakeBlock() {
    if (FCapacity == 0)
        return nullptr;
    std::unique_ptr<TMemoryBlock> Block(FHandle);
    Block->Bytes.resize(static_cast<size_t>(FSize));
    FHandle = nullptr;
    FCapacity = 0;
    FPosition = 0;
    FSize = 0;
    return Block;
}
