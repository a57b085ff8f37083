#pragma once

#include <filesystem>
#include <string>

#include "ClipboardHistory/service/KeyProvider.h"
#include "ClipboardHistory/service/LinkPreviewer.h"
#include "core/Clock.h"
#include "core/MainLoop.h"
#include "core/SerialQueue.h"
#include "host/Accessibility.h"
#include "host/EventSystem.h"
#include "host/FileSystem.h"
#include "host/FileURLs.h"
#include "host/HotKeys.h"
#include "host/ImageCodec.h"
#include "host/KeyboardLayoutSource.h"
#include "host/Pasteboard.h"
#include "host/Workspace.h"

namespace mirlet {

// Everything the clipboard history needs from the platform, replaceable as a whole.
struct ClipboardHistoryServices {
  Pasteboard& pasteboard;
  Workspace& workspace;
  Accessibility& accessibility;
  EventSystem& events;
  HotKeys& hotKeys;
  const KeyboardLayoutSource& keyboardLayout;
  const ImageCodec& images;
  const FileURLs& fileURLs;
  FileSystem& files;
  KeyProvider& keys;
  LinkPreviewer& links;
  MainLoop& mainLoop;
  Clock& clock;
  SerialQueueFactory& queues;
  // The history's folder; previews go to a fresh folder in the temporary one.
  std::filesystem::path rootDirectory;
  std::filesystem::path temporaryDirectory;
  // This program's bundle identifier.
  std::string sourceIdentifier;
  double pollInterval = 0.5;
};

}  // namespace mirlet
