// One QApplication for every GUI test, on Qt's offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application_ = std::make_unique<QApplication>(argc_, argv_);
    QApplication::setQuitOnLastWindowClosed(false);
  }
  void TearDown() override { application_.reset(); }

 private:
  int argc_ = 1;
  char name_[9] = "ui_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> application_;
};

// gtest owns the environment.
[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(
    new QtEnvironment);  // NOLINT(cppcoreguidelines-owning-memory)

}  // namespace
