// Writes the manual page, made from the help text, to standard output; the build
// installs what it writes as mirlet(1).

#include <iostream>

#include "app/AppVersion.h"
#include "app/BundleInfo.h"
#include "app/CommandLine.h"

int main() {
  std::cout << mirlet::CommandLine::manualPage(
      mirlet::AppVersion::description(mirlet::BundleInfo::current().info));
  return 0;
}
