// What a screen reader sees of the history panel, asked the way one asks: over
// the accessibility bus, by a separate AT-SPI client (atspi-tree, beside this
// file). Run on a private X server and session bus with the accessibility bus
// started; Qt serves the bus only while its loop runs, so the test keeps it
// running while the client asks.

#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <algorithm>
#include <string>
#include <vector>

#include "ClipboardHistory/ui/HistoryPanelView.h"
#include "ClipboardHistory/ui/PanelSearchBox.h"
#include "app/ui/tests/SimulatedApplication.h"
#include "host/linux/testing/QtRunLoop.h"

namespace mirlet {
namespace {

using Rep = sim::SimPasteboard::Representation;

// One accessible object as the client printed it.
struct Accessible {
  int depth = 0;
  std::string role;
  std::string name;
  std::vector<std::string> states;

  bool has(const std::string& state) const { return std::ranges::count(states, state) > 0; }
};

std::vector<std::string> split(const std::string& line, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t end; (end = line.find(separator, start)) != std::string::npos; start = end + 1) {
    parts.push_back(line.substr(start, end - start));
  }
  parts.push_back(line.substr(start));
  return parts;
}

class ScreenReaderTest : public ::testing::Test {
 protected:
  // The whole tree of this application, as the client sees it now.
  std::vector<Accessible> tree() {
    QProcess client;
    client.start(QStringLiteral(MIRLET_ATSPI_TREE), {QCoreApplication::applicationName()});
    EXPECT_TRUE(testing::runUntil([&] { return client.state() == QProcess::NotRunning; }));
    EXPECT_EQ(client.exitCode(), 0) << client.readAllStandardError().toStdString();
    std::vector<Accessible> found;
    for (const QByteArray& line : client.readAllStandardOutput().split('\n')) {
      const std::vector<std::string> fields = split(line.toStdString(), '\t');
      if (fields.size() != 4) continue;
      found.push_back({std::stoi(fields[0]), fields[1], fields[2], split(fields[3], ',')});
    }
    return found;
  }
  static std::vector<Accessible> withRole(const std::vector<Accessible>& tree,
                                          const std::string& role) {
    std::vector<Accessible> found;
    std::ranges::copy_if(tree, std::back_inserter(found),
                         [&](const Accessible& a) { return a.role == role; });
    return found;
  }
  static const Accessible* named(const std::vector<Accessible>& tree, const std::string& name) {
    const auto found = std::ranges::find(tree, name, &Accessible::name);
    return found == tree.end() ? nullptr : &*found;
  }

  testing::SimulatedApplication app_;
};

TEST_F(ScreenReaderTest, TheTilesAreAListWithTheirNamesAndTheSelectionAndNoPrivateText) {
  app_.feature().update([](auto& settings) { settings.ignorePrivate = false; });
  app_.copy("la lista de la compra");
  auto manager = app_.scenario().desktop.workspace.launch("com.1password.1password", "1Password");
  app_.scenario().desktop.pasteboard.copy({{Rep::text("public.utf8-plain-text", "Tr0ub4dor&3"),
                                            Rep::bytes("org.nspasteboard.ConcealedType", {})}},
                                          manager->processIdentifier());
  app_.scenario().rest(0.5);
  app_.copy("nota de hoy");
  app_.pressHotKey();
  ASSERT_TRUE(app_.panel().isOpen());

  const std::vector<Accessible> seen = tree();
  const std::vector<Accessible> tiles = withRole(seen, "list item");
  ASSERT_EQ(tiles.size(), 3u) << "every tile is a list item";
  EXPECT_NE(tiles[0].name.find("nota de hoy"), std::string::npos) << tiles[0].name;
  EXPECT_TRUE(tiles[0].has("selected"));
  EXPECT_TRUE(tiles[0].has("focused"));
  EXPECT_FALSE(tiles[2].has("selected"));
  EXPECT_NE(tiles[2].name.find("la lista de la compra"), std::string::npos) << tiles[2].name;
  for (const Accessible& a : seen) {
    EXPECT_EQ(a.name.find("Tr0ub4dor"), std::string::npos) << a.role << " tells the secret";
  }
  EXPECT_NE(tiles[1].name.find("Privado"), std::string::npos) << tiles[1].name;

  const std::vector<Accessible> lists = withRole(seen, "list");
  ASSERT_EQ(lists.size(), 1u);
  EXPECT_EQ(lists[0].name, "Historial");
}

// Every control says what it is for; the sidebar's sections say which is shown.
TEST_F(ScreenReaderTest, EveryControlIsNamedAndTheSidebarTellsTheSectionShown) {
  app_.copy("algo");
  app_.pressHotKey();
  const std::vector<Accessible> seen = tree();
  for (const char* role : {"push button", "toggle button", "check box", "radio button", "text"}) {
    for (const Accessible& control : withRole(seen, role)) {
      EXPECT_FALSE(control.name.empty()) << "a " << role << " without a name";
    }
  }
  const std::vector<Accessible> sections = withRole(seen, "radio button");
  ASSERT_GE(sections.size(), 2u);
  EXPECT_EQ(sections[0].name, "Historial");
  EXPECT_TRUE(sections[0].has("checked"));
  EXPECT_EQ(sections[1].name, "Favoritos");
  EXPECT_FALSE(sections[1].has("checked"));
  EXPECT_NE(named(seen, "Barra lateral"), nullptr);
  EXPECT_NE(named(seen, "Buscar en el historial"), nullptr);
}

// A message from the panel is an alert: screen readers speak those as they show.
TEST_F(ScreenReaderTest, ThePanelsMessagesAreAlertsWithTheirText) {
  app_.copy("primera");
  app_.copy("segunda");
  app_.pressHotKey();
  app_.panel().model().perform(PanelCommand{PanelCommand::Action::delete_});
  QApplication::processEvents();

  const std::vector<Accessible> alerts = withRole(tree(), "alert");
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_FALSE(alerts[0].name.empty());
  EXPECT_NE(alerts[0].name.find("deshacer"), std::string::npos) << alerts[0].name;
}

}  // namespace
}  // namespace mirlet

int main(int argc, char* argv[]) {
  ::testing::InitGoogleTest(&argc, argv);
  qputenv("QT_QPA_PLATFORM", "xcb");
  // Served whether or not the desktop says a screen reader runs.
  qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
