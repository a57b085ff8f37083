#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace mirlet {

// How the program ends when it is asked something on its command line: these are
// its exit statuses, as the help text lists them.
enum class CommandStatus {
  done = 0,
  failed = 1,      // the running copy could not do it
  usage = 2,       // the command line makes no sense
  notRunning = 3,  // no copy of Mirlet runs in this session
  notFound = 4,    // no item has that id
  historyOff = 5,  // the clipboard history is switched off
};

// What the command line asks for. Anything but `run` is answered by this process
// (help, version) or by the running copy, and never starts one.
struct CommandRequest {
  enum class Action {
    run,
    help,
    version,
    togglePanel,
    showSettings,
    list,
    search,
    copy,
    paste,
    clear
  };
  Action action = Action::run;
  std::string text;  // the search text, or the item's id
  std::size_t limit = std::numeric_limits<std::size_t>::max();
  bool json = false;
  friend bool operator==(const CommandRequest&, const CommandRequest&) = default;
};

namespace CommandLine {

// The arguments after the program's name. Arguments with a single dash are left to
// the toolkit (a plain run); anything else this program does not know is a usage
// error, its message in Spanish.
std::variant<CommandRequest, std::string> parse(const std::vector<std::string_view>& arguments);

// The help text, which the manual page is made from too.
std::string help();
// The manual page, in troff (man(7)).
std::string manualPage(std::string_view version);

}  // namespace CommandLine
}  // namespace mirlet
