#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// PNG files put together byte by byte, for the tests of PNG reading: colour
// types the program never writes itself, and headers that claim what the
// data does not hold. Pixel data goes into uncompressed deflate blocks, so
// no compression library is involved and every byte is where a test expects.
//
//   std::string Grey = HandMadePng(2, 1, TPngColourType::Grey, {0, 255});
//   std::string Liar = PngSignature() + PngHeaderChunk(60000, 60000, TPngColourType::Rgb) +
//                      PngChunk("IDAT", "x") + PngChunk("IEND", "");

// The colour types of 8-bit samples, with the file's own numbers.
enum class TPngColourType : uint8_t { Grey = 0, Rgb = 2, GreyAlpha = 4, Rgba = 6 };

// The eight bytes every PNG file begins with.
std::string PngSignature();

// One chunk: its length, Type (four letters), Data and check sum.
std::string PngChunk(std::string_view Type, std::string_view Data);

// The header chunk of an 8-bit, non-interlaced picture.
std::string PngHeaderChunk(uint32_t Width, uint32_t Height, TPngColourType Type);

// A whole PNG file. Samples holds the rows top-down, each Width times the
// colour type's channels bytes.
std::string HandMadePng(uint32_t Width, uint32_t Height, TPngColourType Type,
                        const std::vector<uint8_t>& Samples);
