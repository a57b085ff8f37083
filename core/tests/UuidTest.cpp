#include "core/Uuid.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace mirlet {
namespace {

TEST(UuidTest, RandomIsVersion4InCanonicalUpperCase) {
  const std::regex canonical("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
  std::set<Uuid> seen;
  for (int i = 0; i < 1000; ++i) {
    Uuid id = Uuid::random();
    EXPECT_TRUE(std::regex_match(id.toString(), canonical)) << id.toString();
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 1000u);
}

TEST(UuidTest, ParseRoundTripsAndAcceptsLowerCase) {
  Uuid id = Uuid::random();
  EXPECT_EQ(Uuid::parse(id.toString()), id);
  auto parsed = Uuid::parse("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->toString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
  EXPECT_EQ(Uuid().toString(), "00000000-0000-0000-0000-000000000000");
}

TEST(UuidTest, ParseRejectsAnythingElse) {
  for (const char* text :
       {"", "E621E1F8C36C495A93FC0C247A3E6E5F", "E621E1F8-C36C-495A-93FC-0C247A3E6E5",
        "E621E1F8-C36C-495A-93FC-0C247A3E6E5FF", "E621E1F8-C36C-495A-93FC_0C247A3E6E5F",
        "G621E1F8-C36C-495A-93FC-0C247A3E6E5F", "{E621E1F8-C36C-495A-93FC-0C247A3E6E5}"}) {
    EXPECT_EQ(Uuid::parse(text), std::nullopt) << text;
  }
}

}  // namespace
}  // namespace mirlet
