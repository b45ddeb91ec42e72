#pragma once

#include "tests/support/desktop_user.h"
#include "testing/jack_server.h"

#include <gtest/gtest.h>

#include <optional>

namespace padscope::test {

// End-to-end tests against a private JACK server, started for each test.
// A test is skipped when jackd or jack_midi_dump is not installed or its
// server does not start; skipAwareExitCode() fails such a run under CI=true.
// The test's own clients run with a desktop user's allowance of locked
// memory, even as root.
class JackServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(limitMemoryLockingAsForADesktopUser());
        restartServer();
    }

    // Stops the server, if one runs, and starts a new one. False when the
    // test was skipped instead: the caller then returns.
    bool restartServer()
    {
        server_.reset();
        startOrSkip();
        return !IsSkipped();
    }
    void stopServer() { server_.reset(); }
    JackDummyServer& server() { return *server_; }

private:
    void startOrSkip()
    {
        if (!JackDummyServer::installed() || !MidiDumpPeer::installed())
            GTEST_SKIP() << "jackd or jack_midi_dump is not installed (Debian: apt install jackd2)";
        server_.emplace();
        if (!server_->start())
            GTEST_SKIP() << serverUnavailable("the JACK dummy server");
    }

    std::optional<JackDummyServer> server_;
};

}  // namespace padscope::test
