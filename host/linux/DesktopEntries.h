#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace mirlet {

// An application as its desktop entry describes it.
struct DesktopEntry {
  std::string id;  // the file name without ".desktop"
  std::string name;
  std::string icon;
  std::string exec;
  std::string startupWMClass;
  std::vector<std::string> mimeTypes;
  friend bool operator==(const DesktopEntry&, const DesktopEntry&) = default;
};

// The desktop entries of the installed applications, from the folders of the XDG
// data directories (the user's first), read once, with the default application of
// each type from the "mimeapps.list" files. Hidden entries and those not shown
// are left out; names are the Spanish ones where the entry has them.
class DesktopEntries {
 public:
  // The "applications" folders, the first winning for an id.
  static std::vector<std::filesystem::path> standardFolders();
  // The "mimeapps.list" files, the first winning for a type.
  static std::vector<std::filesystem::path> standardDefaults();
  explicit DesktopEntries(std::vector<std::filesystem::path> folders = standardFolders(),
                          std::vector<std::filesystem::path> defaults = standardDefaults());

  // By id, case-insensitively, or by the window class the entry declares.
  std::optional<DesktopEntry> find(const std::string& idOrWindowClass) const;
  // The entries that open the MIME type, its default one first.
  std::vector<DesktopEntry> handling(const std::string& mimeType) const;
  // The command that opens the URLs, from the entry's Exec line.
  static std::vector<std::string> command(const DesktopEntry& entry,
                                          const std::vector<std::string>& urls);
  static std::optional<DesktopEntry> parse(const std::string& id, const std::string& text);

 private:
  std::vector<DesktopEntry> entries_;
  std::map<std::string, std::string> defaults_;  // MIME type to entry id
};

}  // namespace mirlet
