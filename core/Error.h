#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace mirlet {

// The one base of every error the components throw. `what()` names the component's
// case and any detail, for tests and crash reports; the user never sees it (the
// interface shows fixed texts chosen by the error's code).
class Error : public std::exception {
 public:
  const char* what() const noexcept override { return message_.c_str(); }

 protected:
  explicit Error(std::string message) : message_(std::move(message)) {}

 private:
  std::string message_;
};

// A component's error: one case of the component's enumeration and an optional
// detail (the id asked for, the decoder's description). A component declares its
// enumeration, `XxxErrorCode`, with `std::string_view errorName(XxxErrorCode)`
// beside it, and names the error `using XxxError = ErrorOf<XxxErrorCode>`.
template <class CodeType>
class ErrorOf : public Error {
  static_assert(std::is_enum_v<CodeType>);

 public:
  using Code = CodeType;

  explicit ErrorOf(Code code, std::string detail = {})
      : Error(describe(code, detail)), code_(code), detail_(std::move(detail)) {}

  Code code() const noexcept { return code_; }
  const std::string& detail() const noexcept { return detail_; }

  friend bool operator==(const ErrorOf& a, const ErrorOf& b) {
    return a.code_ == b.code_ && a.detail_ == b.detail_;
  }

 private:
  static std::string describe(Code code, const std::string& detail) {
    std::string text(errorName(code));
    if (!detail.empty()) text.append(": ").append(detail);
    return text;
  }

  Code code_;
  std::string detail_;
};

}  // namespace mirlet
