#pragma once

#include "mobileappstate.h"
#include "recordingnotificationcenter.h"
#include "testenv.h"
#include "testserver.h"

#include <memory>

namespace kalvorin::test {

// What the tests of the flows and of the screens start from: a first launch,
// an in-process server, and one state object that talks to it and announces
// notifications to a recording centre. False when the server could not start.
inline bool startStateWithServer(std::unique_ptr<TestServer>& server, std::unique_ptr<MobileAppState>& state,
                                 RecordingNotificationCenter** center = nullptr) {
    resetStoredState();
    server = std::make_unique<TestServer>();
    if (!server->start())
        return false;
    auto* recording = new RecordingNotificationCenter;
    state = std::make_unique<MobileAppState>(nullptr, recording);
    recording->setParent(state.get());
    state->setServerURL(server->baseURL());
    if (center)
        *center = recording;
    return true;
}

} // namespace kalvorin::test
