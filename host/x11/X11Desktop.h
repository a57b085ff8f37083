#pragma once

#include <string>

#include "host/FileSystem.h"
#include "host/ThreadSerialQueue.h"
#include "host/linux/FileKeychain.h"
#include "host/linux/PathFileURLs.h"
#include "host/linux/QtImageCodec.h"
#include "host/linux/QtScreens.h"
#include "host/linux/SecretServiceKeychain.h"
#include "host/x11/X11Accessibility.h"
#include "host/x11/X11Display.h"
#include "host/x11/X11EventSystem.h"
#include "host/x11/X11HotKeys.h"
#include "host/x11/X11Pasteboard.h"
#include "host/x11/X11Workspace.h"
#include "host/x11/XkbKeyboardLayout.h"

namespace mirlet {

// Every host interface of the X desktop, made once at start on the main thread,
// after the application object and its loop.
struct X11Desktop {
  X11Desktop(MainLoop& mainLoop, const std::string& bundleIdentifier)
      : workspace(display, bundleIdentifier),
        pasteboard(mainLoop),
        hotKeys(display),
        keyboardLayout(display),
        events(display, workspace),
        accessibility(display, workspace),
        keyFiles(files, FileKeychain::defaultFolder()),
        keychain(keyring, keyFiles) {}

  X11Display display;
  X11Workspace workspace;
  X11Pasteboard pasteboard;
  X11HotKeys hotKeys;
  XkbKeyboardLayout keyboardLayout;
  X11EventSystem events;
  X11Accessibility accessibility;
  QtImageCodec images;
  PathFileURLs fileURLs;
  QtScreens screens;
  PosixFileSystem files;
  SecretServiceKeychain keyring;
  FileKeychain keyFiles;
  FallbackKeychain keychain;
  ThreadSerialQueueFactory queues;
};

}  // namespace mirlet
