#pragma once

// Finder as the desktop knows it: the application the Finder features drive.
namespace mirlet::FinderBundle {

inline constexpr const char* identifier = "com.apple.finder";
inline constexpr const char* path = "/System/Library/CoreServices/Finder.app";

}  // namespace mirlet::FinderBundle
