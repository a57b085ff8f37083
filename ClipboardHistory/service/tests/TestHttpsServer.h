#pragma once

#include <netinet/in.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace mirlet::testing {

// An HTTPS server on the loopback address for the tests of link previews, with a
// certificate authority of its own (written to a file a client can trust) and a
// certificate for the names the tests use. It answers each path as it was told and
// remembers the paths asked for.
class TestHttpsServer {
 public:
  struct Answer {
    int status = 200;
    std::string body;
    std::string location;  // for redirects
  };

  TestHttpsServer(const std::filesystem::path& folder, std::vector<std::string> names) {
    // A client that stops reading at its limit closes while the server still
    // writes; the write must fail with EPIPE, not end the test process.
    std::signal(SIGPIPE, SIG_IGN);
    EVP_PKEY* caKey = EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256");
    X509* ca = certificate(caKey, caKey, nullptr, "Mirlet Test CA", {}, true);
    key_ = EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256");
    X509* server = certificate(key_, caKey, ca, "server", names, false);
    authorities_ = folder / "test-ca.pem";
    FILE* file = std::fopen(authorities_.c_str(), "w");
    PEM_write_X509(file, ca);
    std::fclose(file);

    context_ = SSL_CTX_new(TLS_server_method());
    SSL_CTX_use_certificate(context_, server);
    SSL_CTX_use_PrivateKey(context_, key_);
    X509_free(server);
    X509_free(ca);
    EVP_PKEY_free(caKey);

    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0) {
      throw std::runtime_error("no loopback port");
    }
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
  }

  ~TestHttpsServer() {
    stopping_ = true;
    thread_.join();
    ::close(listener_);
    SSL_CTX_free(context_);
    EVP_PKEY_free(key_);
  }

  int port() const { return port_; }
  const std::filesystem::path& certificateAuthorities() const { return authorities_; }
  void answer(const std::string& path, Answer answer) {
    std::lock_guard lock(mutex_);
    answers_[path] = std::move(answer);
  }
  std::vector<std::string> requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  static X509* certificate(EVP_PKEY* key, EVP_PKEY* signer, X509* issuer, const char* name,
                           const std::vector<std::string>& dnsNames, bool authority) {
    X509* cert = X509_new();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), authority ? 1 : 2);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 3600 * 24);
    X509_set_pubkey(cert, key);
    X509_NAME* subject = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(name), -1, -1, 0);
    X509_set_issuer_name(cert, issuer ? X509_get_subject_name(issuer) : subject);
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer ? issuer : cert, cert, nullptr, nullptr, 0);
    auto extend = [&](int nid, const std::string& value) {
      X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
      X509_add_ext(cert, extension, -1);
      X509_EXTENSION_free(extension);
    };
    if (authority) {
      extend(NID_basic_constraints, "critical,CA:TRUE");
      extend(NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
      std::string names;
      for (const auto& dns : dnsNames) names += (names.empty() ? "DNS:" : ",DNS:") + dns;
      extend(NID_subject_alt_name, names);
    }
    X509_sign(cert, signer, EVP_sha256());
    return cert;
  }

  void serve() {
    while (!stopping_) {
      pollfd waiting{listener_, POLLIN, 0};
      if (::poll(&waiting, 1, 20) <= 0) continue;
      const int client = ::accept(listener_, nullptr, nullptr);
      if (client < 0) continue;
      SSL* ssl = SSL_new(context_);
      SSL_set_fd(ssl, client);
      if (SSL_accept(ssl) == 1) respond(ssl);
      SSL_shutdown(ssl);
      SSL_free(ssl);
      ::close(client);
    }
  }

  void respond(SSL* ssl) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const int read = SSL_read(ssl, buffer, sizeof buffer);
      if (read <= 0) return;
      request.append(buffer, static_cast<std::size_t>(read));
    }
    const auto start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);
    Answer answer{404, "no", ""};
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(path);
      if (auto found = answers_.find(path); found != answers_.end()) answer = found->second;
    }
    std::string response = "HTTP/1.1 " + std::to_string(answer.status) + " X\r\n";
    if (!answer.location.empty()) response += "Location: " + answer.location + "\r\n";
    response += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n";
    response += "Connection: close\r\n\r\n" + answer.body;
    for (std::size_t sent = 0; sent < response.size();) {
      const int wrote =
          SSL_write(ssl, response.data() + sent,
                    static_cast<int>(std::min<std::size_t>(response.size() - sent, 1 << 16)));
      if (wrote <= 0) return;
      sent += static_cast<std::size_t>(wrote);
    }
  }

  EVP_PKEY* key_ = nullptr;
  SSL_CTX* context_ = nullptr;
  std::filesystem::path authorities_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::map<std::string, Answer> answers_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

}  // namespace mirlet::testing
