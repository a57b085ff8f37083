#include "host/sim/SimKeychain.h"

namespace mirlet::sim {

Keychain::ReadResult SimKeychain::read(const std::string& service,
                                       const std::string& account) const {
  ++reads;
  if (failNextRead) {
    const int status = *failNextRead;
    failNextRead.reset();
    return {status, {}};
  }
  auto found = items_.find({service, account});
  if (found == items_.end()) return {itemNotFound, {}};
  return {success, found->second};
}

int SimKeychain::add(const std::string& service, const std::string& account, const Bytes& data) {
  ++adds;
  if (failNextAdd) {
    const int status = *failNextAdd;
    failNextAdd.reset();
    return status;
  }
  if (raceNextAdd) {
    items_.emplace(std::pair{service, account}, *raceNextAdd);
    raceNextAdd.reset();
  }
  return items_.emplace(std::pair{service, account}, data).second ? success : duplicateItem;
}

}  // namespace mirlet::sim
