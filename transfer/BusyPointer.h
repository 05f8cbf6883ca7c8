#pragma once
// Shows a busy mouse pointer for the life of a scope: every pointer set is restored once,
// on every return path.

#include "transfer/Host.h"

namespace tabrook {

class BusyPointer {
public:
    BusyPointer(Host& host, Host::BusyPointer pointer) : host_(host) { host_.SetBusyPointer(pointer); }
    ~BusyPointer() { host_.RestorePointer(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Host& host_;
};

}  // namespace tabrook
