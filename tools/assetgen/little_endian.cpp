// little_endian.cpp — appending the little-endian fields of WAV files.
#include "assetgen.h"

void AppendU16(std::vector<uint8_t>* bytes, uint32_t value)
{
    bytes->push_back(static_cast<uint8_t>(value & 0xFF));
    bytes->push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void AppendU32(std::vector<uint8_t>* bytes, uint32_t value)
{
    AppendU16(bytes, value & 0xFFFF);
    AppendU16(bytes, value >> 16);
}
