#pragma once

#include "core/object.h"

#include <cstdint>
#include <string>

enum class TSeekOrigin { Beginning, Current, End };

// A seekable byte stream. Read and Write move what they can and return the
// count; ReadBuffer and WriteBuffer move everything or raise EStreamError.
class TStream : public TObject {
public:
    std::string_view ClassName() const override { return "TStream"; }

    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;
    virtual int64_t Size() const = 0;
    virtual void SetSize(int64_t NewSize) = 0;

    int64_t Position() { return Seek(0, TSeekOrigin::Current); }
    int64_t Remaining() { return Size() - Position(); }

    void ReadBuffer(void* Buffer, int64_t Count);
    void WriteBuffer(const void* Buffer, int64_t Count);

    // 32-bit little-endian integers, as the binary document syntax stores them.
    uint32_t ReadUInt32();
    void WriteUInt32(uint32_t Value);
};
