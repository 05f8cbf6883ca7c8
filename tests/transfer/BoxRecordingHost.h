#pragma once
// A host that records the message boxes it is asked to show and answers with a set reply.

#include <string>
#include <vector>

#include "transfer/Host.h"

namespace tabrook::testing {

class BoxRecordingHost : public Host {
public:
    struct Box {
        std::string Text;
        MsgIcon Icon;
        MsgButtons Buttons;
    };

    int MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) override {
        boxes.push_back({text, icon, buttons});
        return reply;
    }

    std::vector<Box> boxes;
    int reply = kMsgOk;
};

}  // namespace tabrook::testing
