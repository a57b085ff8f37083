#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/Pasteboard.h"

namespace mirlet {

// How the X clipboard's targets (MIME types and the X text atoms) and the
// history's uniform types stand for each other.
//
// Reading, each uniform type comes from the best target the owner offers for it;
// a target that maps to nothing known is kept under its own name. Writing, a
// uniform type is offered under every target that applications look for.
namespace ClipboardTargets {

// The password managers' marker: offered with the value "secret".
inline constexpr std::string_view kPasswordManagerHint = "x-kde-passwordManagerHint";
inline constexpr std::string_view kSecret = "secret";
inline constexpr std::string_view kUriList = "text/uri-list";
inline constexpr std::string_view kGnomeCopiedFiles = "x-special/gnome-copied-files";

// How a target's bytes become the uniform type's.
enum class Conversion { none, latin1 };

struct Source {
  std::string uniformType;
  std::string target;
  Conversion conversion = Conversion::none;
  friend bool operator==(const Source&, const Source&) = default;
};

// The uniform types the targets give, in the order of their first target, each
// from its best target. The selection's own bookkeeping targets ("TARGETS",
// "TIMESTAMP", ...) and empty names give nothing.
std::vector<Source> sources(const std::vector<std::string>& targets);

// The bytes of a target as the uniform type holds them.
Bytes converted(Conversion conversion, const Bytes& data);

// The targets that offer a uniform type, the preferred first; an unknown type is
// offered under its own name.
std::vector<std::string> targets(std::string_view uniformType);

}  // namespace ClipboardTargets
}  // namespace mirlet
