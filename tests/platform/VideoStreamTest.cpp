// Opening a video never waits on something that is not a file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "platform/VideoStream.h"
#include "support/TempDir.h"

namespace {

TEST(VideoStreamTest, APipeOrAFolderIsRefusedAtOnce) {
    testsupport::TempDir folder;
    const std::string pipe = (folder / "pipe.ogg").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {pipe, folder.Path().string()}) {
        std::string error;
        EXPECT_EQ(platform::VideoStream::Open(path, platform::VideoPixels::Bgrx32, error), nullptr) << path;
        EXPECT_FALSE(error.empty()) << path;
    }
}

}  // namespace
