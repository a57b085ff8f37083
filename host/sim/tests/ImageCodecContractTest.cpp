#include "host/testing/ImageCodecContract.h"

#include "host/sim/SimImageCodec.h"

namespace mirlet::sim {
namespace {

class SimImageCodecHarness : public contract::ImageCodecHarness {
 public:
  ImageCodec& codec() override { return codec_; }
  Bytes png(int width, int height) override {
    return SimImageCodec::png(static_cast<std::uint32_t>(width),
                              static_cast<std::uint32_t>(height));
  }

 private:
  SimImageCodec codec_;
};

using contract::ImageCodecContract;

INSTANTIATE_TEST_SUITE_P(Sim, ImageCodecContract, ::testing::Values([] {
                           return std::unique_ptr<contract::ImageCodecHarness>(
                               std::make_unique<SimImageCodecHarness>());
                         }));

TEST(SimImageCodecTest, AWidthOfZeroIsReportedAsItStands) {
  const SimImageCodec codec;
  EXPECT_EQ(codec.pixelSize(SimImageCodec::png(0, 40)), (ImagePixelSize{0, 40}));
  EXPECT_EQ(codec.pngThumbnail(SimImageCodec::png(0, 40), 512), std::nullopt);
}

TEST(SimImageCodecTest, AHeaderWithAWrongChecksumIsCorrupt) {
  Bytes damaged = SimImageCodec::png(10, 10);
  damaged[18] ^= 0xFF;  // inside the width, under the header's checksum
  EXPECT_EQ(SimImageCodec().pixelSize(damaged), std::nullopt);
}

}  // namespace
}  // namespace mirlet::sim
