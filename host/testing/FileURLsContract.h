#pragma once

// What callers of the FileURLs interface rely on, as tests any implementation can
// run.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "host/FileURLs.h"

namespace mirlet::contract {

class FileURLsHarness {
 public:
  virtual ~FileURLsHarness() = default;
  virtual FileURLs& urls() = 0;
  // A new file with that name in a folder of the test's own.
  virtual std::filesystem::path makeFile(const std::string& name) = 0;
  // A reference URL to the file, or nothing where the platform has none.
  virtual std::optional<std::string> referenceTo(const std::filesystem::path& file) = 0;
  // Moves the file as the platform's file manager would.
  virtual void move(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
};

using FileURLsHarnessFactory = std::function<std::unique_ptr<FileURLsHarness>()>;

class FileURLsContract : public ::testing::TestWithParam<FileURLsHarnessFactory> {
 protected:
  void SetUp() override { harness_ = GetParam()(); }
  std::optional<std::string> resolve(const std::string& url) {
    return harness_->urls().filePathURL(url);
  }
  std::unique_ptr<FileURLsHarness> harness_;
};

TEST_P(FileURLsContract, PathURLsComeBackStandardized) {
  EXPECT_EQ(resolve("file:///tmp/informes/../a%20b.txt"), "file:///tmp/a%20b.txt");
  EXPECT_EQ(resolve("file:///tmp/fotos/"), "file:///tmp/fotos/");
  EXPECT_EQ(resolve("file:///tmp/./fotos"), "file:///tmp/fotos");
}

TEST_P(FileURLsContract, OtherURLsAreNoFiles) {
  EXPECT_EQ(resolve("https://example.com/a.txt"), std::nullopt);
  EXPECT_EQ(resolve("a.txt"), std::nullopt);
  EXPECT_EQ(resolve(""), std::nullopt);
}

TEST_P(FileURLsContract, ReferencesFollowTheirFileAndEndWithIt) {
  const auto file = harness_->makeFile("informe.txt");
  const auto reference = harness_->referenceTo(file);
  if (!reference) GTEST_SKIP() << "this platform has no file references";
  const auto moved = file.parent_path() / "movido.txt";
  harness_->move(file, moved);
  EXPECT_EQ(resolve(*reference), "file://" + moved.string());
  std::filesystem::remove(moved);
  EXPECT_EQ(resolve(*reference), std::nullopt);
}

}  // namespace mirlet::contract
