// What the user sees and hears: a box that cannot be shown still says its
// words on standard error, and a cue reaches the audio device converted to
// its format, while a missing file or no device is silently nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/sdl/sdl_internal.h"

namespace {

namespace fs = std::filesystem;

// A folder of its own for each test, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "marivelt-sdl-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data()) != nullptr)
            path = name.data();
    }
    ~ScratchFolder()
    {
        if (!path.empty())
            fs::remove_all(path);
    }
    fs::path path;
};

void WriteLittleEndian(std::ofstream& out, uint32_t value, int bytes)
{
    for (int index = 0; index < bytes; ++index)
        out.put(static_cast<char>((value >> (8 * index)) & 0xFF));
}

// An 8-bit unsigned mono square wave at 8000 Hz: not the device's format, so
// playing it needs the conversion.
void WriteSquareWave(const fs::path& path, int frames)
{
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    WriteLittleEndian(out, static_cast<uint32_t>(36 + frames), 4);
    out.write("WAVEfmt ", 8);
    WriteLittleEndian(out, 16, 4);
    WriteLittleEndian(out, 1, 2);     // PCM
    WriteLittleEndian(out, 1, 2);     // mono
    WriteLittleEndian(out, 8000, 4);  // frames per second
    WriteLittleEndian(out, 8000, 4);  // bytes per second
    WriteLittleEndian(out, 1, 2);     // bytes per frame
    WriteLittleEndian(out, 8, 2);     // bits per sample
    out.write("data", 4);
    WriteLittleEndian(out, static_cast<uint32_t>(frames), 4);
    for (int frame = 0; frame < frames; ++frame)
        out.put(static_cast<char>((frame / 20) % 2 == 0 ? 0xE0 : 0x20));
}

std::vector<char> ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool AllSilent(const std::vector<char>& samples)
{
    for (char sample : samples) {
        if (sample != 0)
            return false;
    }
    return true;
}

// Waits, up to a bound, until the disk audio device has written `want` bytes
// and (when asked) some of them are not silence.
std::vector<char> WaitForDeviceOutput(const fs::path& path, size_t want, bool needSound)
{
    constexpr auto kPatience = std::chrono::seconds(5);
    auto giveUp = std::chrono::steady_clock::now() + kPatience;
    std::vector<char> written;
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        written = ReadAll(path);
    } while ((written.size() < want || (needSound && AllSilent(written))) && std::chrono::steady_clock::now() < giveUp);
    return written;
}

class SdlSoundTest : public ::testing::Test {
protected:
    void SetUp() override { SdlCloseSound(); }
    void TearDown() override
    {
        SdlCloseSound();
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
    }
    ScratchFolder scratch;
};

TEST(SdlMessageBox, WithNoDisplayTheWordsGoToStandardError)
{
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    testing::internal::CaptureStderr();
    PlatformMessageBox(nullptr, "Your video card does not support FULLSCREEN operation!", "ERROR", MessageBoxIcon::Hand);
    std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(written, "ERROR: Your video card does not support FULLSCREEN operation!\n");
}

TEST_F(SdlSoundTest, ACueReachesTheDeviceAfterAMissingOnePlayedNothing)
{
    const fs::path output = scratch.path / "device.raw";
    const fs::path cue = scratch.path / "cue.wav";
    WriteSquareWave(cue, 4000);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);

    PlatformPlaySound((scratch.path / "missing.wav").c_str());
    std::vector<char> silence = WaitForDeviceOutput(output, 8192, false);
    ASSERT_GE(silence.size(), 8192u) << "the device never started";
    EXPECT_TRUE(AllSilent(silence));

    PlatformPlaySound(cue.c_str());
    EXPECT_FALSE(AllSilent(WaitForDeviceOutput(output, 0, true)));
}

TEST_F(SdlSoundTest, NoAudioDeviceIsSilentlyNothing)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const fs::path cue = scratch.path / "cue.wav";
    WriteSquareWave(cue, 800);
    testing::internal::CaptureStderr();
    PlatformPlaySound(cue.c_str());
    PlatformPlaySound(cue.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
