#include "TransferSettings.h"

namespace tabrook {

TransferSettings& Settings() {
  static TransferSettings settings;
  return settings;
}

char FirstByte(const std::string& setting) { return setting.empty() ? '\0' : setting.front(); }

}  // namespace tabrook
