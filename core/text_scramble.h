#pragma once

#include <cstdint>
#include <string>

// The texts of the text table are kept scrambled in the program: each byte is
// combined with a key stream that depends on the slot, so the wording does not
// stand in the binary as plain text. Scrambling twice restores the text.
inline void ScrambleText(std::string& Bytes, uint32_t Slot) {
    uint32_t State = 0x9E3779B9u ^ (Slot * 0x85EBCA6Bu);
    for (char& C : Bytes) {
        State ^= State << 13;
        State ^= State >> 17;
        State ^= State << 5;
        C = static_cast<char>(static_cast<unsigned char>(C) ^ (State & 0xFF));
    }
}
