#include "core/stream.h"

#include "core/error.h"
#include "core/text_table.h"

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
    if (Count > 0 && Read(Buffer, Count) != Count)
        throw EStreamError(GetText(TTextSlot::StreamReadError));
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
    if (Count > 0 && Write(Buffer, Count) != Count)
        throw EStreamError(GetText(TTextSlot::StreamWriteError));
}

uint32_t TStream::ReadUInt32() {
    unsigned char B[4];
    ReadBuffer(B, 4);
    return uint32_t(B[0]) | uint32_t(B[1]) << 8 | uint32_t(B[2]) << 16 | uint32_t(B[3]) << 24;
}

void TStream::WriteUInt32(uint32_t Value) {
    unsigned char B[4] = {static_cast<unsigned char>(Value), static_cast<unsigned char>(Value >> 8),
                          static_cast<unsigned char>(Value >> 16),
                          static_cast<unsigned char>(Value >> 24)};
    WriteBuffer(B, 4);
}
