#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>

namespace mirlet {

// What the capture side knows of a new pasteboard generation, before any content.
struct CaptureInput {
  std::set<std::string> types;  // every type identifier present, over all pasteboard items
  std::optional<std::string> sourceBundleID;
  std::int64_t byteCount = 0;  // of the representations that would be stored
  bool hasReadableContent = false;

  friend bool operator==(const CaptureInput&, const CaptureInput&) = default;
};

enum class CaptureSkipReason { paused, transient, privateIgnored, empty };

struct CaptureDecision {
  struct Skip {
    CaptureSkipReason reason;
    friend bool operator==(const Skip&, const Skip&) = default;
  };
  struct Store {
    bool isPrivate;
    bool reduced;  // keep only plain text and file URLs
    friend bool operator==(const Store&, const Store&) = default;
  };
  std::variant<Skip, Store> value;

  static CaptureDecision skip(CaptureSkipReason reason) { return {Skip{reason}}; }
  static CaptureDecision store(bool isPrivate, bool reduced) { return {Store{isPrivate, reduced}}; }
  friend bool operator==(const CaptureDecision&, const CaptureDecision&) = default;
};

// Whether a pasteboard generation is remembered, from its metadata alone.
namespace CapturePolicy {

inline constexpr std::int64_t maximumBytes = 52428800;  // 50 MiB
inline constexpr std::array<std::string_view, 6> passwordManagers{
    "com.1password.1password",  "com.bitwarden.desktop",   "com.apple.Passwords",
    "com.apple.keychainaccess", "org.keepassxc.keepassxc", "com.dashlane.dashlanephonefinal"};
inline constexpr std::array<std::string_view, 1> passwordManagerPrefixes{
    "com.agilebits.onepassword"};
// The same on Linux desktops, by application id, desktop file or window class.
inline constexpr std::array<std::string_view, 17> linuxPasswordManagers{
    "keepassxc",
    "keepass2",
    "bitwarden",
    "1password",
    "org.gnome.world.secrets",
    "org.gnome.passwordsafe",
    "org.gnome.seahorse.application",
    "seahorse",
    "org.kde.kwalletmanager5",
    "kwalletmanager5",
    "qtpass",
    "ijhack.qtpass",
    "enpass",
    "me.proton.pass",
    "proton-pass",
    "nordpass",
    "keeweb"};

// Paused, then transient markers, then private content (concealed marker or a
// password manager) when private content is ignored, then nothing readable;
// otherwise stored, reduced above maximumBytes.
CaptureDecision decide(const CaptureInput& input, bool paused, bool ignorePrivate);

// Whether the application is a password manager, by either list, without case.
bool isPasswordManager(const std::optional<std::string>& bundleID);

}  // namespace CapturePolicy
}  // namespace mirlet
