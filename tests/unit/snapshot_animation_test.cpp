// The snapshot tool's animated preview: every run writes the same bytes, and
// the file itself says how many pictures it holds, on what canvas, for how long.
#include <gtest/gtest.h>
#include <unistd.h>
#include <webp/demux.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> MakeShortAnimation(const std::string& name)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("marivelt-" + name + "-" + std::to_string(getpid()) + ".webp");
    const std::string command = std::string(MARIVELT_SNAPSHOT) + " --animate --pictures 3 " + path.string();
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    return bytes;
}

TEST(SnapshotAnimation, TwoRunsWriteTheSameLoopingFileOfThePicturesAsked)
{
    const std::vector<uint8_t> first = MakeShortAnimation("first");
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first, MakeShortAnimation("second"));

    const WebPData data = {first.data(), first.size()};
    WebPDemuxer* demuxer = WebPDemux(&data);
    ASSERT_NE(demuxer, nullptr);
    EXPECT_EQ(WebPDemuxGetI(demuxer, WEBP_FF_CANVAS_WIDTH), 800u);
    EXPECT_EQ(WebPDemuxGetI(demuxer, WEBP_FF_CANVAS_HEIGHT), 600u);
    EXPECT_EQ(WebPDemuxGetI(demuxer, WEBP_FF_LOOP_COUNT), 0u) << "0 loops for ever";
    ASSERT_EQ(WebPDemuxGetI(demuxer, WEBP_FF_FRAME_COUNT), 3u);
    // 302 frames at 60 Hz in 126 pictures: frames 4, 6 and 8, then 11 comes
    // next; each picture lasts as long as its frames would, to the millisecond.
    const int durations[] = {33, 34, 50};
    WebPIterator picture;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(WebPDemuxGetFrame(demuxer, i + 1, &picture));
        EXPECT_EQ(picture.duration, durations[i]) << "picture " << i;
        WebPDemuxReleaseIterator(&picture);
    }
    WebPDemuxDelete(demuxer);
}

}  // namespace
