#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

using Action = CommandRequest::Action;

CommandRequest request(std::vector<std::string_view> arguments) {
  auto parsed = CommandLine::parse(arguments);
  EXPECT_TRUE(std::holds_alternative<CommandRequest>(parsed)) << std::get<std::string>(parsed);
  return std::holds_alternative<CommandRequest>(parsed) ? std::get<CommandRequest>(parsed)
                                                        : CommandRequest{};
}

std::string refusal(std::vector<std::string_view> arguments) {
  auto parsed = CommandLine::parse(arguments);
  EXPECT_TRUE(std::holds_alternative<std::string>(parsed));
  return std::holds_alternative<std::string>(parsed) ? std::get<std::string>(parsed) : "";
}

TEST(CommandLineTest, OptionsAndHistoryCommandsAreWhatTheySay) {
  EXPECT_EQ(request({}).action, Action::run);
  EXPECT_EQ(request({"--login-item"}).action, Action::run);
  EXPECT_EQ(request({"-platform", "xcb"}).action, Action::run);  // the toolkit's
  EXPECT_EQ(request({"--toggle-panel"}).action, Action::togglePanel);
  EXPECT_EQ(request({"--show-settings"}).action, Action::showSettings);
  EXPECT_EQ(request({"--version"}).action, Action::version);
  EXPECT_EQ(request({"--help"}).action, Action::help);

  EXPECT_EQ(request({"history", "list"}), (CommandRequest{Action::list}));
  EXPECT_EQ(request({"history", "list", "--json", "--limit", "5"}),
            (CommandRequest{Action::list, "", 5, true}));
  EXPECT_EQ(request({"history", "search", "café", "con", "--limit", "0"}),
            (CommandRequest{Action::search, "café con", 0}));
  EXPECT_EQ(request({"history", "paste", "8C3F"}), (CommandRequest{Action::paste, "8C3F"}));
  EXPECT_EQ(request({"history", "copy", "8C3F"}).action, Action::copy);
  EXPECT_EQ(request({"history", "clear", "--yes"}), (CommandRequest{Action::clear}));
}

TEST(CommandLineTest, WhatMakesNoSenseIsRefusedWithAReasonInSpanish) {
  EXPECT_NE(refusal({"--borrar-todo"}).find("«--borrar-todo»"), std::string::npos);
  EXPECT_NE(refusal({"--help", "--version"}).find("Solo una opción"), std::string::npos);
  EXPECT_FALSE(refusal({"history"}).empty());
  EXPECT_FALSE(refusal({"history", "olvidar"}).empty());
  EXPECT_FALSE(refusal({"history", "list", "--limit"}).empty());
  EXPECT_FALSE(refusal({"history", "list", "--limit", "-3"}).empty());
  EXPECT_FALSE(refusal({"history", "list", "--limit", "7x"}).empty());
  EXPECT_FALSE(refusal({"history", "list", "de", "más"}).empty());
  EXPECT_FALSE(refusal({"history", "search"}).empty());
  EXPECT_FALSE(refusal({"history", "copy"}).empty());
  EXPECT_FALSE(refusal({"history", "paste", "a", "b"}).empty());
  EXPECT_FALSE(refusal({"history", "copy", "ID", "--json"}).empty());
  EXPECT_NE(refusal({"history", "clear"}).find("--yes"), std::string::npos);
}

TEST(CommandLineTest, TheManualPageIsTheHelpSetInTroff) {
  const std::string help = CommandLine::help();
  const std::string page = CommandLine::manualPage("0.1.0");
  EXPECT_TRUE(page.starts_with("'\\\" -*- coding: UTF-8 -*-\n.TH MIRLET 1"));
  for (std::string_view line : {"Estado de salida", "Privado", "history search", "3  Mirlet"}) {
    EXPECT_NE(help.find(line), std::string::npos) << line;
  }
  for (std::string_view line : {".SH ESTADO DE SALIDA", "history search TEXTO", "\\-\\-json"}) {
    EXPECT_NE(page.find(line), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace mirlet
