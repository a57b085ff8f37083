#include "host/linux/DesktopEntries.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "host/XdgFolders.h"

namespace mirlet {
namespace {

std::string lower(std::string text) {
  std::ranges::transform(text, text.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream stream(text);
  while (std::getline(stream, part, separator)) {
    if (!part.empty()) parts.push_back(part);
  }
  return parts;
}

// The Exec line's words, with its quoting undone.
std::vector<std::string> words(const std::string& exec) {
  std::vector<std::string> result;
  std::string word;
  bool quoted = false;
  bool inWord = false;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (quoted && c == '\\' && i + 1 < exec.size()) {
      word += exec[++i];
    } else if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (c == ' ' && !quoted) {
      if (inWord) result.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) result.push_back(std::move(word));
  return result;
}

// The path of a file URL, its escapes undone; other URLs as they are.
std::string localPath(const std::string& url) {
  if (!url.starts_with("file://")) return url;
  std::string path;
  for (std::size_t i = 7; i < url.size(); ++i) {
    const auto hex = [](char c) -> int {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      return -1;
    };
    if (url[i] == '%' && i + 2 < url.size() && hex(url[i + 1]) >= 0 && hex(url[i + 2]) >= 0) {
      path += static_cast<char>(hex(url[i + 1]) * 16 + hex(url[i + 2]));
      i += 2;
    } else {
      path += url[i];
    }
  }
  return path;
}

}  // namespace

std::vector<std::filesystem::path> DesktopEntries::standardFolders() {
  std::vector<std::filesystem::path> folders{XdgFolders::dataHome() / "applications"};
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  for (const std::string& dir : split(dirs && *dirs ? dirs : "/usr/local/share:/usr/share", ':')) {
    folders.push_back(std::filesystem::path(dir) / "applications");
  }
  return folders;
}

std::vector<std::filesystem::path> DesktopEntries::standardDefaults() {
  std::vector<std::filesystem::path> files{XdgFolders::configHome() / "mimeapps.list"};
  for (const auto& folder : standardFolders()) files.push_back(folder / "mimeapps.list");
  return files;
}

DesktopEntries::DesktopEntries(std::vector<std::filesystem::path> folders,
                               std::vector<std::filesystem::path> defaults) {
  for (const auto& file : defaults) {
    std::ifstream stream(file);
    bool inDefaults = false;
    for (std::string line; std::getline(stream, line);) {
      if (line.starts_with('[')) {
        inDefaults = line.starts_with("[Default Applications]");
        continue;
      }
      const auto equals = line.find('=');
      if (!inDefaults || equals == std::string::npos) continue;
      const auto ids = split(line.substr(equals + 1), ';');
      if (ids.empty()) continue;
      std::string id = ids.front();
      if (id.ends_with(".desktop")) id.resize(id.size() - 8);
      defaults_.emplace(line.substr(0, equals), id);  // an earlier file wins
    }
  }
  std::set<std::string> seen;
  for (const auto& folder : folders) {
    std::error_code error;
    for (const auto& file : std::filesystem::directory_iterator(folder, error)) {
      if (file.path().extension() != ".desktop") continue;
      const std::string id = file.path().stem().string();
      if (!seen.insert(id).second) continue;
      std::ifstream stream(file.path());
      std::stringstream text;
      text << stream.rdbuf();
      if (auto entry = parse(id, text.str())) entries_.push_back(std::move(*entry));
    }
  }
}

std::optional<DesktopEntry> DesktopEntries::parse(const std::string& id, const std::string& text) {
  DesktopEntry entry{id, {}, {}, {}, {}, {}};
  std::string spanishName;
  bool inMain = false;
  bool hidden = false;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with('[')) {
      inMain = line == "[Desktop Entry]";
      continue;
    }
    const auto equals = line.find('=');
    if (!inMain || equals == std::string::npos) continue;
    std::string key = line.substr(0, equals);
    while (!key.empty() && key.back() == ' ') key.pop_back();
    std::string value = line.substr(equals + 1);
    while (!value.empty() && value.front() == ' ') value.erase(value.begin());
    if (key == "Name") {
      entry.name = value;
    } else if (key == "Name[es]") {
      spanishName = value;
    } else if (key == "Icon") {
      entry.icon = value;
    } else if (key == "Exec") {
      entry.exec = value;
    } else if (key == "StartupWMClass") {
      entry.startupWMClass = value;
    } else if (key == "MimeType") {
      entry.mimeTypes = split(value, ';');
    } else if ((key == "NoDisplay" || key == "Hidden") && value == "true") {
      hidden = true;
    } else if (key == "Type" && value != "Application") {
      hidden = true;
    }
  }
  if (hidden || entry.name.empty()) return std::nullopt;
  if (!spanishName.empty()) entry.name = spanishName;
  return entry;
}

std::optional<DesktopEntry> DesktopEntries::find(const std::string& idOrWindowClass) const {
  const std::string wanted = lower(idOrWindowClass);
  for (const DesktopEntry& entry : entries_) {
    if (lower(entry.id) == wanted) return entry;
  }
  for (const DesktopEntry& entry : entries_) {
    if (!entry.startupWMClass.empty() && lower(entry.startupWMClass) == wanted) return entry;
  }
  // "org.gnome.Nautilus" for a window of class "nautilus".
  for (const DesktopEntry& entry : entries_) {
    const std::string id = lower(entry.id);
    if (id.ends_with("." + wanted)) return entry;
  }
  return std::nullopt;
}

std::vector<DesktopEntry> DesktopEntries::handling(const std::string& mimeType) const {
  std::vector<DesktopEntry> result;
  for (const DesktopEntry& entry : entries_) {
    if (std::ranges::find(entry.mimeTypes, mimeType) != entry.mimeTypes.end()) {
      result.push_back(entry);
    }
  }
  if (const auto preferred = defaults_.find(mimeType); preferred != defaults_.end()) {
    std::ranges::stable_partition(
        result, [&](const DesktopEntry& entry) { return entry.id == preferred->second; });
  }
  return result;
}

std::vector<std::string> DesktopEntries::command(const DesktopEntry& entry,
                                                 const std::vector<std::string>& urls) {
  std::vector<std::string> result;
  bool placed = false;
  for (const std::string& word : words(entry.exec)) {
    if (word == "%u" || word == "%f") {
      if (!urls.empty()) result.push_back(word == "%f" ? localPath(urls.front()) : urls.front());
      placed = true;
    } else if (word == "%U" || word == "%F") {
      for (const std::string& url : urls) result.push_back(word == "%F" ? localPath(url) : url);
      placed = true;
    } else if (word.size() == 2 && word[0] == '%') {
      continue;  // the other field codes: icon, name, location
    } else {
      result.push_back(word);
    }
  }
  if (!placed) result.insert(result.end(), urls.begin(), urls.end());
  return result;
}

}  // namespace mirlet
