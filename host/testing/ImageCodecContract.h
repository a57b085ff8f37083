#pragma once

// What callers of an ImageCodec rely on, as tests any implementation can run.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "host/ImageCodec.h"

namespace mirlet::contract {

class ImageCodecHarness {
 public:
  virtual ~ImageCodecHarness() = default;
  virtual ImageCodec& codec() = 0;
  // A PNG of that size, as an application would copy it.
  virtual Bytes png(int width, int height) = 0;
};

using ImageCodecHarnessFactory = std::function<std::unique_ptr<ImageCodecHarness>()>;

class ImageCodecContract : public ::testing::TestWithParam<ImageCodecHarnessFactory> {
 protected:
  void SetUp() override { harness_ = GetParam()(); }
  ImageCodec& codec() { return harness_->codec(); }
  std::optional<ImagePixelSize> thumbnailSize(const Bytes& data, int maximumPixels) {
    auto thumbnail = codec().pngThumbnail(data, maximumPixels);
    if (!thumbnail) return std::nullopt;
    EXPECT_TRUE(thumbnail->size() > 8 && (*thumbnail)[1] == 'P' && (*thumbnail)[2] == 'N' &&
                (*thumbnail)[3] == 'G');
    return codec().pixelSize(*thumbnail);
  }
  std::unique_ptr<ImageCodecHarness> harness_;
};

TEST_P(ImageCodecContract, ReadsThePixelSize) {
  EXPECT_EQ(codec().pixelSize(harness_->png(640, 480)), (ImagePixelSize{640, 480}));
  EXPECT_EQ(codec().pixelSize(harness_->png(1, 3)), (ImagePixelSize{1, 3}));
}

TEST_P(ImageCodecContract, CorruptOrCutDataIsNoImage) {
  EXPECT_EQ(codec().pixelSize({}), std::nullopt);
  EXPECT_EQ(codec().pixelSize(Bytes{'n', 'o', 't'}), std::nullopt);
  Bytes cut = harness_->png(20, 20);
  cut.resize(20);
  EXPECT_EQ(codec().pixelSize(cut), std::nullopt);
  EXPECT_EQ(codec().pngThumbnail(cut, 10), std::nullopt);
}

TEST_P(ImageCodecContract, ThumbnailsFitTheLongSideAndNeverEnlarge) {
  EXPECT_EQ(thumbnailSize(harness_->png(1000, 500), 200), (ImagePixelSize{200, 100}));
  EXPECT_EQ(thumbnailSize(harness_->png(300, 1200), 512), (ImagePixelSize{128, 512}));
  EXPECT_EQ(thumbnailSize(harness_->png(50, 80), 200), (ImagePixelSize{50, 80}));
  EXPECT_EQ(codec().pngThumbnail(harness_->png(50, 80), 0), std::nullopt);
}

}  // namespace mirlet::contract
