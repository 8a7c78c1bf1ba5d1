// dib_failure_test.cpp — every way a file is refused: what the user sees is
// one "Error" box with the exact text, a null result, and nothing left open.
#include "tests/unit/dib_test_support.h"

namespace {

std::string OpenFailedText(const std::string& path)
{
    return "Failed to open DIB file " + path + ".\n";
}

DibRecipe Small24(int width = 5, int height = 2)
{
    DibRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.pixelData = PackRows(std::vector<uint32_t>(static_cast<size_t>(width) * height, 0x336699), width, height, 24);
    return recipe;
}

// Valid files in several layouts, for cutting short. Their rows need no fill
// bytes, so that every shorter file lacks pixel data (the last row may lack
// its fill bytes).
std::vector<std::pair<std::string, DibRecipe>> TruncationCorpus()
{
    std::vector<std::pair<std::string, DibRecipe>> corpus;
    corpus.emplace_back("info 24 with file header", Small24(4, 2));

    DibRecipe core = Small24(8, 2);
    core.headerSize = 12;
    core.fileHeader = false;
    core.bitCount = 4;
    core.palette = GreyRamp(16);
    core.pixelData = PackRows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0}, 8, 2, 4);
    corpus.emplace_back("bare core 4", core);

    DibRecipe palette8 = Small24(4, 2);
    palette8.bitCount = 8;
    palette8.colorsUsed = 4;
    palette8.palette = GreyRamp(4);
    palette8.pixelData = PackRows({0, 1, 2, 3, 2, 1, 0, 3}, 4, 2, 8);
    corpus.emplace_back("info 8 with file header", palette8);

    DibRecipe bare8 = palette8;
    bare8.fileHeader = false;
    corpus.emplace_back("bare info 8", bare8);

    DibRecipe bitfields = Small24(2, 2);
    bitfields.fileHeader = false;
    bitfields.bitCount = 16;
    bitfields.compression = 3;
    bitfields.masks = {0xF800, 0x07E0, 0x001F};
    bitfields.pixelData = PackRows({1, 2, 3, 4}, 2, 2, 16);
    corpus.emplace_back("bare bitfields 16", bitfields);

    DibRecipe later = bitfields;  // masks inside the header: a cut among them is a short header
    later.fileHeader = true;
    for (uint32_t headerSize : {124u, 56u, 52u}) {
        later.headerSize = headerSize;
        corpus.emplace_back("bitfields 16, header " + std::to_string(headerSize) + ", with file header", later);
    }

    DibRecipe v4Bare8 = bare8;
    v4Bare8.headerSize = 108;
    corpus.emplace_back("bare v4 8", v4Bare8);

    DibRecipe rle = Small24(3, 2);
    rle.bitCount = 8;
    rle.compression = 1;
    rle.colorsUsed = 2;
    rle.palette = GreyRamp(2);
    rle.pixelData = {3, 1, 0, 0, 0, 3, 0, 1, 0, 0, 0, 1};  // no line end leaves the top row early
    corpus.emplace_back("rle8 with file header", rle);
    return corpus;
}

}  // namespace

using DibFailure = DibTest;

TEST_F(DibFailure, EveryTruncationGivesOneBoxAndNoImage)
{
    for (const auto& [name, recipe] : TruncationCorpus()) {
        Bytes full = BuildDib(recipe);
        const size_t headerStart = recipe.fileHeader ? 14 : 0;
        const size_t headerEnd = headerStart + recipe.headerSize;
        HeadlessReset();
        ASSERT_NE(Read(full), nullptr) << name;

        for (size_t length = 0; length < full.size(); ++length) {
            SCOPED_TRACE(testing::Message() << name << ", " << length << " of " << full.size() << " bytes");
            HeadlessReset();
            std::string path = WriteFile(Bytes(full.begin(), full.begin() + length));

            ImagePtr image(ReadDibFile(path.c_str()));

            EXPECT_EQ(image, nullptr);
            if (length == 0)
                EXPECT_ONE_DIB_BOX(OpenFailedText(path));
            else if (length < headerEnd)
                EXPECT_ONE_DIB_BOX(kUnknownFormat);
            else
                EXPECT_ONE_DIB_BOX(kConversionError);
        }
    }
}

TEST_F(DibFailure, OtherHeaderSizesAreUnknown)
{
    for (uint32_t headerSize : {51u, 53u, 55u, 57u, 64u, 0u, 16u, 41u, 107u, 109u, 123u, 125u, 128u, 0xFFFFFFFFu}) {
        for (bool fileHeader : {true, false}) {
            SCOPED_TRACE(testing::Message() << "header " << headerSize << " file header " << fileHeader);
            HeadlessReset();
            DibRecipe recipe = Small24();
            recipe.headerSize = headerSize;
            recipe.fileHeader = fileHeader;

            ImagePtr image = Read(BuildDib(recipe));

            EXPECT_EQ(image, nullptr);
            EXPECT_ONE_DIB_BOX(kUnknownFormat);
        }
    }
}

TEST_F(DibFailure, EmptyFileCannotBeOpened)
{
    std::string path = WriteFile({}, "empty.bmp");

    ImagePtr image(ReadDibFile(path.c_str()));

    EXPECT_EQ(image, nullptr);
    EXPECT_ONE_DIB_BOX(OpenFailedText(path));
}

TEST_F(DibFailure, MissingFileAndFolderCannotBeOpened)
{
    for (std::string path : {(folder_ / "missing.bmp").string(), folder_.string()}) {
        HeadlessReset();

        ImagePtr image(ReadDibFile(path.c_str()));

        EXPECT_EQ(image, nullptr);
        EXPECT_ONE_DIB_BOX(OpenFailedText(path));
    }
}

TEST_F(DibFailure, FailedMappingShowsTheOpenFailureWithThePathAsGiven)
{
    std::string path = WriteFile(BuildDib(Small24()));
    HeadlessFailStep(HeadlessStep::OpenFileView);
    std::string relative = "./" + std::filesystem::relative(path).string();

    ImagePtr image(ReadDibFile(relative.c_str()));

    EXPECT_EQ(image, nullptr);
    EXPECT_ONE_DIB_BOX(OpenFailedText(relative));
}

TEST_F(DibFailure, OpenFailureTextIsCutToItsBuffer)
{
    // A path whose message would be 300 characters long: the box shows the first 255.
    std::string path = (folder_ / std::string(300, 'x')).string();
    std::string full = OpenFailedText(path);
    ASSERT_GT(full.size(), 255u);

    ImagePtr image(ReadDibFile(path.c_str()));

    EXPECT_EQ(image, nullptr);
    EXPECT_ONE_DIB_BOX(full.substr(0, 255));

    // Exactly at the limit the line break survives.
    HeadlessReset();
    std::string fitting = std::string(255 - OpenFailedText("").size(), 'y');
    ImagePtr none(ReadDibFile(fitting.c_str()));
    EXPECT_EQ(none, nullptr);
    EXPECT_ONE_DIB_BOX(OpenFailedText(fitting));
}

TEST_F(DibFailure, BoxBelongsToTheWindowWithTheFocus)
{
    WindowHandle window = PlatformCreateWindow(PlatformModuleHandle(), "Marivelt", 800, 600);
    ASSERT_NE(window, nullptr);
    PlatformSetFocus(window);
    DibRecipe recipe = Small24();
    recipe.headerSize = 64;

    ImagePtr image = Read(BuildDib(recipe));

    EXPECT_EQ(image, nullptr);
    EXPECT_ONE_DIB_BOX(kUnknownFormat);
    EXPECT_EQ(HeadlessBoxes()[0].owner, window);
}

TEST_F(DibFailure, LyingPixelOffsetIsAConversionError)
{
    Bytes valid = BuildDib(Small24());
    for (uint32_t offset : {static_cast<uint32_t>(valid.size()), static_cast<uint32_t>(valid.size() - 1),
                            static_cast<uint32_t>(valid.size() - 30), 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        SCOPED_TRACE(testing::Message() << "offset " << offset);
        HeadlessReset();
        DibRecipe recipe = Small24();
        recipe.pixelOffset = offset;

        ImagePtr image = Read(BuildDib(recipe));

        EXPECT_EQ(image, nullptr);
        EXPECT_ONE_DIB_BOX(kConversionError);
    }
}

TEST_F(DibFailure, LyingSizesAreAConversionError)
{
    struct Case {
        const char* name;
        DibRecipe recipe;
    };
    DibRecipe wider = Small24();
    wider.width = 6;
    DibRecipe taller = Small24();
    taller.height = 3;
    DibRecipe tallerTopDown = Small24();
    tallerTopDown.height = -3;
    DibRecipe hugeTable = Small24();
    hugeTable.bitCount = 8;
    hugeTable.fileHeader = false;
    hugeTable.colorsUsed = 65535;  // the pixels would lie past the table of 65535 entries
    DibRecipe shortTable = Small24(1, 1);
    shortTable.bitCount = 8;
    shortTable.colorsUsed = 200;
    shortTable.pixelOffset = 54;   // claims pixels right after the header…
    shortTable.pixelData = {0, 0, 0, 0};  // …and the file ends before 200 entries
    DibRecipe noMasks = Small24(1, 1);
    noMasks.fileHeader = false;
    noMasks.bitCount = 16;
    noMasks.compression = 3;
    noMasks.pixelData = {1, 2, 3, 4, 5, 6, 7, 8};  // 8 of the 12 mask bytes
    for (const Case& c : {Case{"wider", wider}, Case{"taller", taller}, Case{"taller top-down", tallerTopDown},
                          Case{"huge table", hugeTable}, Case{"short table", shortTable},
                          Case{"missing masks", noMasks}}) {
        SCOPED_TRACE(c.name);
        HeadlessReset();

        ImagePtr image = Read(BuildDib(c.recipe));

        EXPECT_EQ(image, nullptr);
        EXPECT_ONE_DIB_BOX(kConversionError);
    }
}

TEST_F(DibFailure, LyingLaterHeadersFailWithTheReadersMessages)
{
    struct Case {
        const char* name;
        Bytes file;
        const char* message;
    };
    auto later = [](uint32_t headerSize) {
        DibRecipe recipe = Small24();
        recipe.headerSize = headerSize;
        return recipe;
    };
    DibRecipe jpeg = later(124);
    jpeg.bitCount = 0;
    jpeg.compression = 4;
    jpeg.pixelData = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0, 0};
    DibRecipe png = later(108);
    png.bitCount = 0;
    png.compression = 5;
    png.pixelData = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    DibRecipe brokenMask = later(124);
    brokenMask.bitCount = 32;
    brokenMask.compression = 3;
    brokenMask.masks = {0x00FF0000, 0x0000FF00, 0x0F0F0000};
    brokenMask.pixelData = Bytes(40, 0);
    DibRecipe cutMasks = later(108);
    cutMasks.bitCount = 16;
    cutMasks.compression = 3;
    cutMasks.masks = {0xF800, 0x07E0, 0x001F};
    Bytes cutMasksFile = BuildDib(cutMasks);
    cutMasksFile.resize(14 + 46);  // ends inside the green mask
    DibRecipe tablePastTheEnd = later(124);
    tablePastTheEnd.bitCount = 8;
    tablePastTheEnd.colorsUsed = 200;
    tablePastTheEnd.fileHeader = false;
    tablePastTheEnd.palette = GreyRamp(2);
    tablePastTheEnd.pixelData = {0, 1, 0, 0};
    DibRecipe pixelsPastTheEnd = later(108);
    pixelsPastTheEnd.pixelOffset = 14 + 108 + 2;  // the last pixel ends past the end
    DibRecipe pixelsBehindProfile = later(124);
    pixelsBehindProfile.laterFields = {{56, 0x4D424544}, {112, 124}, {116, 32}};  // profile where the pixels are
    pixelsBehindProfile.pixelOffset = 14 + 124 + 32;                               // pixels claimed after it
    for (const Case& c : {Case{"jpeg inside", BuildDib(jpeg), kConversionError},
                          Case{"png inside", BuildDib(png), kConversionError},
                          Case{"mask in pieces", BuildDib(brokenMask), kConversionError},
                          Case{"masks past the end", cutMasksFile, kUnknownFormat},
                          Case{"colour table past the end", BuildDib(tablePastTheEnd), kConversionError},
                          Case{"pixel offset past the data", BuildDib(pixelsPastTheEnd), kConversionError},
                          Case{"pixels behind a profile that is not there", BuildDib(pixelsBehindProfile),
                               kConversionError}}) {
        SCOPED_TRACE(c.name);
        HeadlessReset();

        ImagePtr image = Read(c.file);

        EXPECT_EQ(image, nullptr);
        EXPECT_ONE_DIB_BOX(c.message);
    }
}

TEST_F(DibFailure, ZeroOrNegativeWidthAndZeroHeightAreAConversionError)
{
    for (auto [width, height] : {std::pair{0, 2}, std::pair{5, 0}, std::pair{-5, 2}, std::pair{0, 0}}) {
        for (uint32_t headerSize : {12u, 40u}) {
            if (headerSize == 12 && width < 0)
                continue;  // the core form has no sign
            SCOPED_TRACE(testing::Message() << width << " x " << height << ", header " << headerSize);
            HeadlessReset();
            DibRecipe recipe = Small24();
            recipe.headerSize = headerSize;
            recipe.width = width;
            recipe.height = height;

            ImagePtr image = Read(BuildDib(recipe));

            EXPECT_EQ(image, nullptr);
            EXPECT_ONE_DIB_BOX(kConversionError);
        }
    }
}

TEST_F(DibFailure, HugeDimensionsAreRefusedBeforeAnyAllocation)
{
    // Headers alone: a reader that allocated first would fail differently.
    for (auto [width, height] : {std::pair{32769, 1}, std::pair{1, 32769}, std::pair{1, -32769},
                                 std::pair{1, INT32_MIN}, std::pair{INT32_MAX, 1}, std::pair{16384, 16384},
                                 std::pair{32768, 5462}, std::pair{32768, -32768}}) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        HeadlessReset();
        DibRecipe recipe = Small24();
        recipe.width = width;
        recipe.height = height;

        ImagePtr image = Read(BuildDib(recipe));

        EXPECT_EQ(image, nullptr);
        EXPECT_ONE_DIB_BOX(kOutOfMemory);
    }
    for (uint16_t side : {32769, 65535}) {
        HeadlessReset();
        DibRecipe core = Small24();
        core.headerSize = 12;
        core.width = side;
        EXPECT_EQ(Read(BuildDib(core)), nullptr);
        EXPECT_ONE_DIB_BOX(kOutOfMemory);
    }
}

TEST_F(DibFailure, LargestAcceptedDimensionsReachTheDataCheck)
{
    // 32768 x 5461 x 3 bytes is just within 512 MiB; only the missing data refuses it.
    for (auto [width, height] : {std::pair{32768, 5461}, std::pair{32768, -5461}}) {
        HeadlessReset();
        DibRecipe recipe = Small24();
        recipe.width = width;
        recipe.height = height;

        EXPECT_EQ(Read(BuildDib(recipe)), nullptr);
        EXPECT_ONE_DIB_BOX(kConversionError);
    }
}

TEST_F(DibFailure, WidestRowIsRead)
{
    DibRecipe recipe = Small24(32768, 1);

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 32768);
    EXPECT_TRUE(HeadlessBoxes().empty());
}

TEST_F(DibFailure, NothingIsLeftOpenOrMapped)
{
    std::string good = WriteFile(BuildDib(Small24()), "good.bmp");
    DibRecipe bad = Small24();
    bad.width = 6;
    std::string refused = WriteFile(BuildDib(bad), "bad.bmp");
    const size_t descriptors = OpenDescriptorCount();

    ImagePtr image(ReadDibFile(good.c_str()));
    ImagePtr none(ReadDibFile(refused.c_str()));

    EXPECT_NE(image, nullptr);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    EXPECT_EQ(MappingCount(folder_.string()), 0);
    EXPECT_EQ(HeadlessBoxes().size(), 1u);
}

TEST_F(DibFailure, BoxIsShownAfterTheFileIsOpened)
{
    DibRecipe recipe = Small24();
    recipe.headerSize = 64;
    std::string path = WriteFile(BuildDib(recipe));

    ImagePtr image(ReadDibFile(path.c_str()));

    const std::vector<std::string>& calls = HeadlessCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], "OpenFileView " + path);
    EXPECT_EQ(calls[1], "MessageBox Error");
}
