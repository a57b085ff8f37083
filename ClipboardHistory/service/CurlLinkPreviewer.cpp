#include "ClipboardHistory/service/CurlLinkPreviewer.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <netdb.h>

#include <array>
#include <cstring>

#include "ClipboardHistory/model/LinkPolicy.h"
#include "core/Url.h"

namespace mirlet {
namespace {

using Easy = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using UrlHandle = std::unique_ptr<CURLU, decltype(&curl_url_cleanup)>;
using Slist = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

struct Body {
  std::string bytes;
  std::size_t limit = 0;
  bool cut = false;
};

// Stops the transfer once the limit is reached: what was read is kept.
std::size_t append(char* data, std::size_t size, std::size_t count, void* context) {
  auto& body = *static_cast<Body*>(context);
  const std::size_t room = body.limit - body.bytes.size();
  const std::size_t given = size * count;
  body.bytes.append(data, std::min(room, given));
  if (given > room) {
    body.cut = true;
    return 0;
  }
  return given;
}

std::vector<std::string> systemResolve(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  std::vector<std::string> addresses;
  if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return addresses;
  for (addrinfo* entry = found; entry; entry = entry->ai_next) {
    std::array<char, INET6_ADDRSTRLEN> text{};
    const void* raw =
        entry->ai_family == AF_INET
            ? static_cast<const void*>(&reinterpret_cast<sockaddr_in*>(entry->ai_addr)->sin_addr)
            : static_cast<const void*>(&reinterpret_cast<sockaddr_in6*>(entry->ai_addr)->sin6_addr);
    if (::inet_ntop(entry->ai_family, raw, text.data(), text.size()))
      addresses.emplace_back(text.data());
  }
  ::freeaddrinfo(found);
  return addresses;
}

bool isPublicIPv4(const std::uint8_t* octet) {
  const unsigned a = octet[0];
  const unsigned b = octet[1];
  if (a == 0 || a == 10 || a == 127) return false;        // unspecified, private, loopback
  if (a == 100 && b >= 64 && b <= 127) return false;      // shared (CGNAT)
  if (a == 169 && b == 254) return false;                 // link-local
  if (a == 172 && b >= 16 && b <= 31) return false;       // private
  if (a == 192 && b == 168) return false;                 // private
  if (a == 192 && b == 0 && octet[2] == 0) return false;  // protocol assignments
  return a < 224;                                         // multicast and reserved
}

}  // namespace

CurlLinkPreviewer::Network CurlLinkPreviewer::systemNetwork() {
  return {systemResolve, std::nullopt, false};
}

bool CurlLinkPreviewer::isPublicAddress(const std::string& address) {
  std::array<std::uint8_t, 16> raw{};
  if (::inet_pton(AF_INET, address.c_str(), raw.data()) == 1) return isPublicIPv4(raw.data());
  if (::inet_pton(AF_INET6, address.c_str(), raw.data()) != 1) return false;
  const bool zeroPrefix = std::all_of(raw.begin(), raw.begin() + 10, [](auto b) { return b == 0; });
  if (zeroPrefix && raw[10] == 0xFF && raw[11] == 0xFF) return isPublicIPv4(raw.data() + 12);
  if (std::all_of(raw.begin(), raw.begin() + 15, [](auto b) { return b == 0; }))
    return false;                                               // ::, ::1
  if (raw[0] == 0xFF) return false;                             // multicast
  if (raw[0] == 0xFE && (raw[1] & 0xC0) == 0x80) return false;  // link-local
  if ((raw[0] & 0xFE) == 0xFC) return false;                    // unique local
  if (raw[0] == 0x20 && raw[1] == 0x01 && raw[2] == 0x0D && raw[3] == 0xB8) return false;  // docs
  return true;
}

CurlLinkPreviewer::CurlLinkPreviewer(MainLoop& mainLoop, SerialQueueFactory& queues,
                                     Network network)
    : mainLoop_(mainLoop), network_(std::move(network)), queue_(queues.makeQueue(kQueueLabel)) {
  curl_global_init(CURL_GLOBAL_DEFAULT);
}

CurlLinkPreviewer::~CurlLinkPreviewer() {
  handoff_.revoke();
  queue_.reset();
}

void CurlLinkPreviewer::fetch(const std::string& url,
                              std::function<void(std::optional<LinkPage>)> done) {
  auto report = handoff_.bind(std::move(done));
  handoff_.async(*queue_, [this, url, report]() mutable {
    auto page = fetchNow(url);
    mainLoop_.post([report, page = std::move(page)]() mutable { report(page); });
  });
}

std::optional<LinkPage> CurlLinkPreviewer::fetchNow(const std::string& url) const {
  if (!LinkPolicy::allowsFetch(url)) return std::nullopt;
  auto html = load(url, kPageLimit);
  if (!html) return std::nullopt;
  LinkPage page;
  page.title = LinkPolicy::title(*html);
  if (auto icon = LinkPolicy::iconURL(*html, url); icon && LinkPolicy::allowsFetch(*icon)) {
    if (auto bytes = load(*icon, kIconLimit)) page.icon = Bytes(bytes->begin(), bytes->end());
  }
  return page;
}

std::optional<std::string> CurlLinkPreviewer::load(const std::string& start,
                                                   std::size_t limit) const {
  std::string url = start;
  for (int redirect = 0; redirect <= kMaximumRedirects; ++redirect) {
    if (!LinkPolicy::allowsFetch(url)) return std::nullopt;
    const auto parts = Url::parse(url);
    const auto host = parts ? Url::connectionHost(*parts) : std::nullopt;
    if (!host) return std::nullopt;
    const std::string port = parts->port && !parts->port->empty() ? *parts->port : "443";

    // The connection goes to the host the policy judged, at an address vetted here.
    std::optional<std::string> address;
    for (const auto& candidate : network_.resolve(*host)) {
      if (network_.allowLocalAddresses || isPublicAddress(candidate)) {
        address = candidate;
        break;
      }
    }
    if (!address) return std::nullopt;
    UrlHandle target(curl_url(), &curl_url_cleanup);
    if (!target || curl_url_set(target.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK ||
        curl_url_set(target.get(), CURLUPART_HOST, host->c_str(), 0) != CURLUE_OK ||
        curl_url_set(target.get(), CURLUPART_FRAGMENT, nullptr, 0) != CURLUE_OK) {
      return std::nullopt;
    }
    const std::string pinned =
        *host + ":" + port + ":" +
        (address->find(':') != std::string::npos ? "[" + *address + "]" : *address);
    Slist resolve(curl_slist_append(nullptr, pinned.c_str()), &curl_slist_free_all);

    Easy easy(curl_easy_init(), &curl_easy_cleanup);
    if (!easy) return std::nullopt;
    Body body{{}, limit, false};
    CURL* e = easy.get();
    curl_easy_setopt(e, CURLOPT_CURLU, target.get());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_RESOLVE, resolve.get());
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, kTransferTimeoutMs);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_IGNORED));
    curl_easy_setopt(e, CURLOPT_USERAGENT, "Mirlet");
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, append);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &body);
    if (network_.certificateAuthorities) {
      curl_easy_setopt(e, CURLOPT_CAINFO, network_.certificateAuthorities->c_str());
    }
    const CURLcode result = curl_easy_perform(e);
    if (result != CURLE_OK && !(result == CURLE_WRITE_ERROR && body.cut)) return std::nullopt;

    char* connected = nullptr;
    curl_easy_getinfo(e, CURLINFO_PRIMARY_IP, &connected);
    if (!connected || *address != connected) return std::nullopt;
    long status = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 200 && status <= 299) return body.bytes;
    if (status < 300 || status > 399) return std::nullopt;
    char* location = nullptr;
    curl_easy_getinfo(e, CURLINFO_REDIRECT_URL, &location);
    if (!location) return std::nullopt;
    url = location;  // judged at the top of the next round
  }
  return std::nullopt;
}

}  // namespace mirlet
