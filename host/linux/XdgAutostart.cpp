#include "host/linux/XdgAutostart.h"

#include <map>
#include <sstream>

#include "host/AtomicFile.h"
#include "host/SystemEnvironment.h"
#include "host/XdgFolders.h"

namespace mirlet {
namespace {

// Exec quoting of the desktop-entry format: the argument in double quotes with
// `"`, `` ` ``, `$` and `\` escaped by a backslash; the value as a whole then
// escapes its backslashes once more.
std::string quotedExecArgument(const std::string& argument) {
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  std::string escaped;
  for (char c : quoted) {
    if (c == '\\') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

// The program an Exec value starts: its first argument, unquoted.
std::string firstExecArgument(const std::string& value) {
  std::string unescaped;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == '\\') ++i;
    unescaped += value[i];
  }
  std::string argument;
  if (unescaped.empty() || unescaped.front() != '"') {
    return unescaped.substr(0, unescaped.find(' '));
  }
  for (std::size_t i = 1; i < unescaped.size(); ++i) {
    if (unescaped[i] == '\\' && i + 1 < unescaped.size()) {
      argument += unescaped[++i];
    } else if (unescaped[i] == '"') {
      return argument;
    } else {
      argument += unescaped[i];
    }
  }
  return {};  // unterminated quote
}

// The keys of the [Desktop Entry] group.
std::map<std::string, std::string> desktopEntryKeys(const std::string& text) {
  std::map<std::string, std::string> keys;
  std::istringstream lines(text);
  std::string line;
  bool inEntry = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    auto equals = line.find('=');
    if (!inEntry || equals == std::string::npos) continue;
    auto trim = [](std::string s) {
      s.erase(0, s.find_first_not_of(' '));
      s.erase(s.find_last_not_of(' ') + 1);
      return s;
    };
    keys.emplace(trim(line.substr(0, equals)), trim(line.substr(equals + 1)));
  }
  return keys;
}

}  // namespace

XdgAutostart::XdgAutostart(FileSystem& files, std::filesystem::path autostartFolder,
                           std::optional<std::filesystem::path> executable)
    : files_(files),
      folder_(std::move(autostartFolder)),
      entryPath_(folder_ / "app.mirlet.desktop"),
      executable_(std::move(executable)) {}

std::filesystem::path XdgAutostart::defaultFolder() {
  return XdgFolders::configHome() / "autostart";
}

LoginState XdgAutostart::state() const {
  if (!executable_) return LoginState::unavailable;
  auto text = files_.read(entryPath_);
  if (!text) return LoginState::disabled;
  auto keys = desktopEntryKeys(*text);
  if (keys["Hidden"] == "true" || keys["X-GNOME-Autostart-enabled"] == "false") {
    return LoginState::disabled;
  }
  return firstExecArgument(keys["Exec"]) == executable_->string() ? LoginState::enabled
                                                                  : LoginState::notFound;
}

void XdgAutostart::enable() {
  if (!executable_) throw LoginItemError(LoginItemErrorCode::refused);
  const std::string entry =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=Mirlet\n"
      "Exec=" +
      quotedExecArgument(executable_->string()) + " " + kLoginItemArgument +
      "\n"
      "Terminal=false\n"
      "NoDisplay=true\n"
      "X-GNOME-Autostart-enabled=true\n";
  try {
    AtomicFile::write(files_, entryPath_, entry);
  } catch (const AtomicFileError&) {
    throw LoginItemError(LoginItemErrorCode::refused);
  }
}

void XdgAutostart::disable() {
  if (files_.kind(entryPath_) == FileSystem::Kind::missing) return;
  if (!files_.remove(entryPath_)) throw LoginItemError(LoginItemErrorCode::refused);
}

bool XdgAutostart::createFolder() {
  try {
    files_.createFolder(folder_);
    return true;
  } catch (const AtomicFileError&) {
    return false;
  }
}

}  // namespace mirlet
