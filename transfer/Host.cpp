#include "Host.h"

#include <atomic>
#include <cstdio>

namespace tabrook {

namespace {
std::atomic<Host*> currentHost{nullptr};
}

Host::~Host() = default;

Host* CurrentHost() { return currentHost.load(); }

Host* SetCurrentHost(Host* host) { return currentHost.exchange(host); }

int ShowMessage(const std::string& text, MsgIcon icon, MsgButtons buttons) {
  if (Host* host = CurrentHost()) return host->MessageBox(text, icon, buttons);
  std::fprintf(stderr, "%s\n", text.c_str());
  return buttons == MsgButtons::YesNo ? kMsgYes : kMsgOk;
}

}  // namespace tabrook
