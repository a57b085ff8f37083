#pragma once

#include <optional>
#include <string_view>

namespace mirlet {

// The uniform type identifiers the history knows: which generic kind of content
// each is (image, audio, movie, video) and its preferred file-name extension. An
// identifier that is not in the table is not a valid uniform type, except the
// dynamic ones ("dyn."), which are valid and conform to nothing known.
namespace UniformTypes {

enum class Conformance : unsigned {
  none = 0,
  image = 1,
  audio = 2,
  movie = 4,
  video = 8,  // every video is also a movie
};

bool isValid(std::string_view identifier);
bool conformsTo(std::string_view identifier, Conformance conformance);
// "png" for "public.png"; nothing for types without one.
std::optional<std::string_view> preferredFilenameExtension(std::string_view identifier);

}  // namespace UniformTypes
}  // namespace mirlet
