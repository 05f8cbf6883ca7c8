#pragma once
// The start sequence's view of a program without windows: nothing to show, posted calls go to
// the QCoreApplication event loop, and quitting ends that loop with the exit status.

#include "app/StartSequence.h"

namespace tabrook {

class HeadlessUi : public StartUi {
public:
    void PostToUi(std::function<void()> call) override;
    void Quit(int status) override;
};

}  // namespace tabrook
