#pragma once

#include <string>

#include "platform/CurlLinkPreviewer.h"
#include "platform/FileSystem.h"
#include "platform/KeychainKeyProvider.h"
#include "platform/host/ThreadSerialQueue.h"
#include "platform/x11/FileKeychain.h"
#include "platform/x11/QtDesktopServices.h"
#include "platform/x11/QtImageCodec.h"
#include "platform/x11/SecretServiceKeychain.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11HotKeys.h"
#include "platform/x11/X11Input.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11Workspace.h"
#include "platform/x11/XkbKeyboardLayout.h"

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
        keychain(keyring, keyFiles),
        keys(keychain, bundleIdentifier),
        links(mainLoop, queues, CurlLinkPreviewer::systemNetwork()) {}

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
  KeychainKeyProvider keys;
  ThreadSerialQueueFactory queues;
  CurlLinkPreviewer links;
};

}  // namespace mirlet
