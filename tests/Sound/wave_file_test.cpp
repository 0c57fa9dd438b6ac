// The wave reader: the PCM files it takes, and the damaged or foreign ones it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/PLog.h"
#include "core/Result.h"
#include "Sound/NWaveFile.h"
#include "Sound/sound_fixture.h"

namespace {

using soundtest::FormatBody;
using soundtest::PcmWave16;
using soundtest::Samples16;
using soundtest::WaveBytes;
using soundtest::WaveChunk;

std::vector<uint8_t> ReadAll(CNWaveFile& wave) {
    std::vector<uint8_t> data(wave.GetSize() + 16);
    uint32_t read = 0;
    EXPECT_EQ(wave.Read(data.data(), static_cast<uint32_t>(data.size()), &read), S_OK);
    data.resize(read);
    return data;
}

TEST(WaveFile, ReadsPcmOfEveryLayoutItTakes) {
    struct Case {
        uint16_t channels, bits;
        uint32_t rate;
    } cases[] = {{1, 8, 11025}, {2, 8, 22050}, {1, 16, 44100}, {2, 16, 100}, {1, 16, 200000}};
    const std::vector<uint8_t> data = {1, 2, 3, 4, 5, 6, 7, 8};
    for (const Case& c : cases) {
        CNWaveFile wave;
        ASSERT_EQ(wave.OpenMemory(WaveBytes({{"fmt ", FormatBody(1, c.channels, c.rate, c.bits)}, {"data", data}}), "x"),
                  S_OK)
            << c.channels << "x" << c.bits << " at " << c.rate << ": " << wave.GetError();
        EXPECT_EQ(wave.GetFormat().channels, c.channels);
        EXPECT_EQ(wave.GetFormat().bitsPerSample, c.bits);
        EXPECT_EQ(wave.GetFormat().samplesPerSec, c.rate);
        EXPECT_EQ(wave.GetSize(), data.size());
        EXPECT_EQ(ReadAll(wave), data);
    }
}

TEST(WaveFile, SkipsOtherChunksAndPadBytesAndReadsAgainAfterAReset) {
    const std::vector<uint8_t> odd = {'a', 'b', 'c'};
    const std::vector<uint8_t> data = Samples16({100, -100, 200});
    CNWaveFile wave;
    ASSERT_EQ(wave.OpenMemory(WaveBytes({{"LIST", odd}, {"fmt ", FormatBody(1, 1, 22050, 16)}, {"junk", odd}, {"data", data}}),
                              "x"),
              S_OK)
        << wave.GetError();
    std::vector<uint8_t> half(4);
    uint32_t read = 0;
    wave.Read(half.data(), 4, &read);
    EXPECT_EQ(read, 4u);
    EXPECT_EQ(ReadAll(wave), std::vector<uint8_t>(data.begin() + 4, data.end()));
    wave.ResetFile();
    EXPECT_EQ(ReadAll(wave), data);
}

TEST(WaveFile, CutsDataToWholeFramesAndIgnoresBytesAfterTheRiffChunk) {
    std::vector<uint8_t> bytes = WaveBytes({{"fmt ", FormatBody(1, 2, 22050, 16)}, {"data", {1, 2, 3, 4, 5, 6}}});
    bytes.insert(bytes.end(), {'t', 'a', 'i', 'l'});
    CNWaveFile wave;
    ASSERT_EQ(wave.OpenMemory(bytes, "x"), S_OK) << wave.GetError();
    EXPECT_EQ(wave.GetSize(), 4u);
    EXPECT_EQ(ReadAll(wave), (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(WaveFile, EveryTruncatedPrefixIsRefused) {
    const std::vector<uint8_t> valid = PcmWave16(2, 22050, {1, -1, 2, -2, 3, -3, 4, -4});
    for (size_t length = 0; length < valid.size(); ++length) {
        CNWaveFile wave;
        EXPECT_EQ(wave.OpenMemory(std::vector<uint8_t>(valid.begin(), valid.begin() + length), "x"), E_FAIL)
            << length;
        EXPECT_EQ(wave.GetSize(), 0u);
    }
}

TEST(WaveFile, RefusesLyingSizesAndMissingOrForeignFormats) {
    const std::vector<uint8_t> data = Samples16({1, 2, 3, 4});
    const WaveChunk pcm{"fmt ", FormatBody(1, 1, 22050, 16)};
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* reason;
    } cases[] = {
        {"riff size past the end", WaveBytes({pcm, {"data", data}}, 1000), "RIFF size"},
        {"riff size too small", WaveBytes({pcm, {"data", data}}, 2), "RIFF size"},
        {"data size past the end", WaveBytes({pcm, {"data", data, 0x7FFFFFF0}}), "'data' runs past"},
        {"data size of 2^32-1", WaveBytes({pcm, {"data", data, 0xFFFFFFFF}}), "'data' runs past"},
        {"format size past the end", WaveBytes({{"fmt ", FormatBody(1, 1, 22050, 16), 4000}, {"data", data}}),
         "'fmt ' runs past"},
        {"short format", WaveBytes({{"fmt ", {1, 0, 1, 0}}, {"data", data}}), "fewer than 16"},
        {"no format", WaveBytes({{"data", data}}), "no \"fmt \""},
        {"no data", WaveBytes({pcm}), "no \"data\""},
        {"not riff", std::vector<uint8_t>(44, 'x'), "not a RIFF/WAVE"},
        {"compressed", WaveBytes({{"fmt ", FormatBody(2, 1, 22050, 4)}, {"data", data}}), "format tag 2 is not PCM"},
        {"extensible", WaveBytes({{"fmt ", FormatBody(0xFFFE, 2, 22050, 16)}, {"data", data}}), "not PCM"},
        {"24 bits", WaveBytes({{"fmt ", FormatBody(1, 1, 22050, 24)}, {"data", data}}), "not supported"},
        {"3 channels", WaveBytes({{"fmt ", FormatBody(1, 3, 22050, 16)}, {"data", data}}), "not supported"},
        {"0 channels", WaveBytes({{"fmt ", FormatBody(1, 0, 22050, 16)}, {"data", data}}), "not supported"},
        {"rate 0", WaveBytes({{"fmt ", FormatBody(1, 1, 0, 16)}, {"data", data}}), "rate 0"},
    };
    GetLog()->SetEnabled(true);
    for (Case& c : cases) {
        CNWaveFile wave;
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(wave.OpenMemory(c.bytes, "Data\\Sounds\\bad.wav"), E_FAIL) << c.what;
        const std::string log = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(wave.GetError().find(c.reason), std::string::npos) << c.what << ": " << wave.GetError();
        EXPECT_NE(log.find("Sound file Data\\Sounds\\bad.wav refused: " + wave.GetError()), std::string::npos)
            << c.what << ": " << log;
        EXPECT_EQ(wave.GetSize(), 0u);
    }
    GetLog()->SetEnabled(false);
}

TEST(WaveFile, BlockAlignmentMustMatchTheFormat) {
    std::vector<uint8_t> format = FormatBody(1, 2, 22050, 16);
    format[12] = 3;
    CNWaveFile wave;
    EXPECT_EQ(wave.OpenMemory(WaveBytes({{"fmt ", format}, {"data", Samples16({1, 2})}}), "x"), E_FAIL);
    EXPECT_NE(wave.GetError().find("block alignment"), std::string::npos);
}

TEST(WaveFile, OpensGamePathsInAnyCaseAndRefusesMissingFiles) {
    testsupport::WorkingFolder folder;
    soundtest::WriteFile(folder, "data/sounds/shot.wav", PcmWave16(1, 22050, {5, 6, 7}));
    CNWaveFile wave;
    ASSERT_EQ(wave.Open("Data\\Sounds\\SHOT.wav", nullptr, CNWaveFile::kModeRead), S_OK) << wave.GetError();
    EXPECT_EQ(wave.GetSize(), 6u);
    EXPECT_EQ(wave.Open("Data\\Sounds\\none.wav", nullptr, CNWaveFile::kModeRead), E_FAIL);
    EXPECT_EQ(wave.GetError(), "does not exist");
    EXPECT_EQ(wave.Open("Data\\Sounds", nullptr, CNWaveFile::kModeRead), E_FAIL);
}

}  // namespace
