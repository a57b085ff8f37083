// Writes a history of plain texts, for measuring the program with a full history:
//   history_fill ROOT COUNT
// ROOT is the history's folder (it must not hold a history yet).

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ClipboardHistory/service/HistoryDiskStore.h"
#include "ClipboardHistory/service/KeychainKeyProvider.h"
#include "bench/HistoryGenerator.h"
#include "core/testing/VirtualTimeScheduler.h"
#include "host/linux/FileKeychain.h"
#include "host/testing/TemporaryFolder.h"

int main(int argc, char* argv[]) {
  using namespace mirlet;
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s ROOT COUNT\n", argv[0]);
    return 2;
  }
  const long count = std::strtol(argv[2], nullptr, 10);
  if (count <= 0) {
    std::fprintf(stderr, "COUNT must be a positive number\n");
    return 2;
  }
  testing::VirtualTimeScheduler time;
  testing::TemporaryFolder keyFolder;
  PosixFileSystem files;
  FileKeychain keychain(files, keyFolder.path());
  KeychainKeyProvider keys(keychain, "app.mirlet");
  std::vector<ClipboardItem> items;
  for (ClipboardItem& item : bench::makeHistory(static_cast<std::size_t>(count) * 2)) {
    if (item.isPrivate || item.kind == ItemKind::image || item.kind == ItemKind::files) continue;
    if (items.size() == static_cast<std::size_t>(count)) break;
    items.push_back(std::move(item));
  }
  try {
    HistoryDiskStore store({files, time, time, time}, argv[1], PrivateItemCipher(keys), {});
    store.start();
    if (!store.write(HistoryIndex{1, std::move(items), {}})) return 1;
  } catch (const Error& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
