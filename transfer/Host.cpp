#include "transfer/Host.h"

namespace tabrook {

Host::~Host() = default;

}  // namespace tabrook
