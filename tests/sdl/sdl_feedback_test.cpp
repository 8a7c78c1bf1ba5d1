// What the user sees and hears: a box that cannot be shown still says its
// words on standard error, and a cue reaches the audio device converted to
// its format, while a missing file or no device is silently nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// 16-bit mono at 22050 Hz, the device's own format on the disk driver: a
// steady level that ramps up and down over 10 ms at its ends (220 frames,
// so its own largest step is level / 220), seconds long.
void WriteLevelCue(const fs::path& path, int level, double seconds)
{
    constexpr int kRate = 22050;
    constexpr int kRamp = 220;
    const int frames = static_cast<int>(seconds * kRate);
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    WriteLittleEndian(out, static_cast<uint32_t>(36 + 2 * frames), 4);
    out.write("WAVEfmt ", 8);
    WriteLittleEndian(out, 16, 4);
    WriteLittleEndian(out, 1, 2);          // PCM
    WriteLittleEndian(out, 1, 2);          // mono
    WriteLittleEndian(out, kRate, 4);      // frames per second
    WriteLittleEndian(out, 2 * kRate, 4);  // bytes per second
    WriteLittleEndian(out, 2, 2);          // bytes per frame
    WriteLittleEndian(out, 16, 2);         // bits per sample
    out.write("data", 4);
    WriteLittleEndian(out, static_cast<uint32_t>(2 * frames), 4);
    for (int frame = 0; frame < frames; ++frame) {
        int edge = std::min({frame, frames - 1 - frame, kRamp});
        WriteLittleEndian(out, static_cast<uint16_t>(static_cast<int16_t>(level * edge / kRamp)), 2);
    }
}

std::vector<int16_t> AsSamples(const std::vector<char>& bytes)
{
    std::vector<int16_t> samples(bytes.size() / 2);
    if (!samples.empty())
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// Waits, up to a bound, until what the disk audio device has written
// satisfies `enough`; returns what it has written by then.
template <typename Condition>
std::vector<char> WaitForDeviceOutput(const fs::path& path, Condition enough)
{
    constexpr auto kPatience = std::chrono::seconds(5);
    auto giveUp = std::chrono::steady_clock::now() + kPatience;
    std::vector<char> written;
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        written = ReadAll(path);
    } while (!enough(written) && std::chrono::steady_clock::now() < giveUp);
    return written;
}

bool HasSound(const std::vector<char>& written) { return !AllSilent(written); }

class SdlSoundTest : public ::testing::Test {
protected:
    void SetUp() override { PlatformCloseSound(); }
    void TearDown() override
    {
        PlatformCloseSound();
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        unsetenv("SDL_DISKAUDIODELAY");
    }
    // Opens the sound on SDL's disk driver, which writes what it plays to a file.
    void OpenOnDisk(std::vector<const char*> cues)
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        PlatformOpenSound(cues.data(), cues.size());
    }
    ScratchFolder scratch;
    const fs::path output = scratch.path / "device.raw";
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
    const fs::path cue = scratch.path / "cue.wav";
    WriteSquareWave(cue, 4000);
    OpenOnDisk({cue.c_str()});

    PlatformPlaySound((scratch.path / "missing.wav").c_str());
    std::vector<char> silence = WaitForDeviceOutput(output, [](const auto& written) { return written.size() >= 8192; });
    ASSERT_GE(silence.size(), 8192u) << "the device never started";
    EXPECT_TRUE(AllSilent(silence));

    PlatformPlaySound(cue.c_str());
    EXPECT_TRUE(HasSound(WaitForDeviceOutput(output, HasSound)));
}

TEST_F(SdlSoundTest, ACueAskedForAsTheSoundOpensIsHeard)
{
    const fs::path cue = scratch.path / "cue.wav";
    WriteSquareWave(cue, 8000);
    OpenOnDisk({cue.c_str()});
    PlatformPlaySound(cue.c_str());
    EXPECT_TRUE(HasSound(WaitForDeviceOutput(output, HasSound)));
}

// A level cue cut off by its opposite, then the sound closed while that one
// plays: cut off hard, either would jump by the whole level in one sample.
// Faded over 2 ms (44 frames) or more, no step is above level / 44, plus the
// two cues' own ramps.
TEST_F(SdlSoundTest, CuesCutOffAndTheSoundClosedFadeInsteadOfClicking)
{
    constexpr int kLevel = 16000;
    constexpr int kLargestGentleStep = kLevel / 44 + 2 * kLevel / 220;
    const fs::path rising = scratch.path / "rising.wav", falling = scratch.path / "falling.wav";
    WriteLevelCue(rising, kLevel, 3.0);
    WriteLevelCue(falling, -kLevel, 3.0);
    OpenOnDisk({rising.c_str(), falling.c_str()});
    auto reaches = [](int level) {
        return [level](const std::vector<char>& written) {
            for (int16_t sample : AsSamples(written))
                if (sample == level)
                    return true;
            return false;
        };
    };
    PlatformPlaySound(rising.c_str());
    ASSERT_TRUE(reaches(kLevel)(WaitForDeviceOutput(output, reaches(kLevel))));
    PlatformPlaySound(falling.c_str());
    ASSERT_TRUE(reaches(-kLevel)(WaitForDeviceOutput(output, reaches(-kLevel))));
    PlatformCloseSound();

    std::vector<int16_t> played = AsSamples(ReadAll(output));
    ASSERT_FALSE(played.empty());
    int largestStep = 0;
    for (size_t i = 1; i < played.size(); ++i)
        largestStep = std::max(largestStep, std::abs(played[i] - played[i - 1]));
    EXPECT_LE(largestStep, kLargestGentleStep);
    EXPECT_EQ(played.back(), 0) << "the sound closed before its fade had played";
    size_t fallingFrom = std::find(played.begin(), played.end(), -kLevel) - played.begin();
    EXPECT_LT(played.size() - fallingFrom, 22050u * 5 / 2) << "closing waited for the 3 s cue to end";
}

// A device that stops taking buffers, as one on a frozen sound server does
// (the disk driver, told to, sleeps a minute after each): closing leaves it
// behind after its half second rather than wait for the silence it would
// play (2 s: room for a loaded machine, far short of the minute), and a cue
// asked for afterwards is nothing. SDL's events, where the thread left behind
// may still post, stay up. In a process of its own, which then ends with the
// device still asleep.
TEST_F(SdlSoundTest, ClosingDoesNotWaitForADeviceThatStoppedTakingBuffers)
{
    const fs::path cue = scratch.path / "cue.wav";
    WriteSquareWave(cue, 8000);
    setenv("SDL_DISKAUDIODELAY", "60000", 1);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto closeWithin = [&](std::chrono::seconds limit) {
        OpenOnDisk({cue.c_str()});
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the device sleeps by now
        PlatformPlaySound(cue.c_str());
        auto start = std::chrono::steady_clock::now();
        PlatformCloseSound();
        PlatformPlaySound(cue.c_str());
        bool prompt = std::chrono::steady_clock::now() - start < limit;
        std::exit(!prompt ? 1 : SDL_WasInit(SDL_INIT_EVENTS) == 0 ? 2 : 0);
    };
    EXPECT_EXIT(closeWithin(std::chrono::seconds(2)), testing::ExitedWithCode(0), "");
}

TEST_F(SdlSoundTest, NoAudioDeviceIsSilentlyNothing)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const fs::path cue = scratch.path / "cue.wav";
    WriteSquareWave(cue, 800);
    testing::internal::CaptureStderr();
    const char* cues[] = {cue.c_str()};
    PlatformOpenSound(cues, 1);
    PlatformPlaySound(cue.c_str());
    PlatformPlaySound(cue.c_str());
    PlatformCloseSound();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
