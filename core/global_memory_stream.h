#pragma once

#include "core/stream.h"

#include <cstdint>
#include <memory>
#include <vector>

// A movable memory block of the kind the clipboard exchanges. On this system
// it is a plain heap buffer; the stream below reads and writes it.
struct TMemoryBlock {
    std::vector<unsigned char> Bytes;
};

// A seekable stream over a memory block. A block the stream allocated itself
// (Capacity > 0) is freed with the stream; an attached block belongs to
// whoever attached it and is never freed here.
class TGlobalMemoryStream : public TStream {
public:
    TGlobalMemoryStream() = default;
    ~TGlobalMemoryStream() override;
    TGlobalMemoryStream(const TGlobalMemoryStream&) = delete;
    TGlobalMemoryStream& operator=(const TGlobalMemoryStream&) = delete;

    std::string_view ClassName() const override { return "TGlobalMemoryStream"; }

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() const override { return FSize; }
    void SetSize(int64_t NewSize) override;

    // Drops the current block and adopts Block (nullptr empties the stream).
    void Attach(TMemoryBlock* Block);
    void Clear();

    TMemoryBlock* Handle() const { return FHandle; }
    const unsigned char* Memory() const { return FHandle ? FHandle->Bytes.data() : nullptr; }
    int64_t Capacity() const { return FCapacity; }

    // Hands an owned block to a new owner (the clipboard); the stream is then
    // empty. Returns nullptr for an attached block.
    std::unique_ptr<TMemoryBlock> TakeBlock();

private:
    void Reserve(int64_t End);
    void DropBlock();

    TMemoryBlock* FHandle = nullptr;
    int64_t FPosition = 0;
    int64_t FSize = 0;
    int64_t FCapacity = 0;
};
