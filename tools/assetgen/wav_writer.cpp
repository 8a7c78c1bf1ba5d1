// wav_writer.cpp — RIFF WAVE files holding 16-bit mono PCM.
#include "assetgen.h"

namespace {

void PutTag(std::vector<uint8_t>* file, const char* tag)
{
    for (int i = 0; i < 4; ++i)
        file->push_back(static_cast<uint8_t>(tag[i]));
}

}  // namespace

std::vector<uint8_t> EncodeWav(std::span<const int16_t> samples)
{
    constexpr uint32_t kFormatChunkSize = 16;
    constexpr uint32_t kPcm = 1;
    constexpr uint32_t kChannels = 1;
    constexpr uint32_t kBytesPerSample = 2;
    uint32_t dataBytes = static_cast<uint32_t>(samples.size()) * kBytesPerSample;
    std::vector<uint8_t> file;
    file.reserve(44 + dataBytes);
    PutTag(&file, "RIFF");
    AppendU32(&file, 4 + (8 + kFormatChunkSize) + (8 + dataBytes));
    PutTag(&file, "WAVE");
    PutTag(&file, "fmt ");
    AppendU32(&file, kFormatChunkSize);
    AppendU16(&file, kPcm);
    AppendU16(&file, kChannels);
    AppendU32(&file, kSoundRate);
    AppendU32(&file, kSoundRate * kChannels * kBytesPerSample);  // bytes per second
    AppendU16(&file, kChannels * kBytesPerSample);                // bytes per frame
    AppendU16(&file, kBytesPerSample * 8);
    PutTag(&file, "data");
    AppendU32(&file, dataBytes);
    for (int16_t sample : samples)
        AppendU16(&file, static_cast<uint16_t>(sample));
    return file;
}
