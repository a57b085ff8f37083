#include "host/testing/FileURLsContract.h"

#include <fstream>

#include "host/sim/SimFileURLs.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet::sim {
namespace {

class SimFileURLsHarness : public contract::FileURLsHarness {
 public:
  FileURLs& urls() override { return urls_; }
  std::filesystem::path makeFile(const std::string& name) override {
    std::ofstream(folder_ / name) << name;
    return folder_ / name;
  }
  std::optional<std::string> referenceTo(const std::filesystem::path& file) override {
    return urls_.referenceURL(file);
  }
  void move(const std::filesystem::path& from, const std::filesystem::path& to) override {
    std::filesystem::rename(from, to);
    urls_.moved(from, to);
  }

 private:
  testing::TemporaryFolder folder_;
  SimFileURLs urls_;
};

using contract::FileURLsContract;

INSTANTIATE_TEST_SUITE_P(Sim, FileURLsContract, ::testing::Values([] {
                           return std::unique_ptr<contract::FileURLsHarness>(
                               std::make_unique<SimFileURLsHarness>());
                         }));

}  // namespace
}  // namespace mirlet::sim
