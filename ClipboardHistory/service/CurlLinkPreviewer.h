#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ClipboardHistory/service/LinkPreviewer.h"
#include "core/Handoff.h"
#include "core/MainLoop.h"
#include "core/SerialQueue.h"

namespace mirlet {

// Link previews over HTTPS with libcurl, on their own serial queue: GET only, no
// cookies, cache or credentials, the page cut at 512 KiB and the icon at 256 KiB,
// 5 s to connect and 10 s per transfer, 2xx answers only. Every address is vetted:
// the link policy judges each URL, redirects are followed here (each one judged),
// and a host is only connected to at an address it resolved to that is public
// (not loopback, private, link-local, shared, multicast or unspecified); the
// connection is pinned to that very address.
class CurlLinkPreviewer : public LinkPreviewer {
 public:
  static constexpr std::size_t kPageLimit = 512 * 1024;
  static constexpr std::size_t kIconLimit = 256 * 1024;
  static constexpr long kConnectTimeoutMs = 5000;
  static constexpr long kTransferTimeoutMs = 10000;
  static constexpr int kMaximumRedirects = 5;
  static constexpr const char* kQueueLabel = "app.mirlet.clipboard-history.link-preview";

  // The network as the previewer sees it; tests replace the resolver, trust their
  // own certificate authority and may allow the loopback test server.
  struct Network {
    std::function<std::vector<std::string>(const std::string& host)> resolve;
    std::optional<std::string> certificateAuthorities;
    bool allowLocalAddresses = false;
  };
  // The system's resolver and trust store, public addresses only.
  static Network systemNetwork();
  // Whether an address (IPv4 or IPv6 text) is one a link preview may connect to.
  static bool isPublicAddress(const std::string& address);

  CurlLinkPreviewer(MainLoop& mainLoop, SerialQueueFactory& queues, Network network);
  ~CurlLinkPreviewer() override;

  void fetch(const std::string& url, std::function<void(std::optional<LinkPage>)> done) override;

  // The whole fetch, on the calling thread.
  std::optional<LinkPage> fetchNow(const std::string& url) const;

 private:
  std::optional<std::string> load(const std::string& url, std::size_t limit) const;

  MainLoop& mainLoop_;
  Network network_;
  std::unique_ptr<SerialQueue> queue_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
