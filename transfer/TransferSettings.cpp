#include "transfer/TransferSettings.h"

namespace tabrook {

char FirstByte(const std::string& setting) {
    return setting.empty() ? '\0' : setting.front();
}

}  // namespace tabrook
