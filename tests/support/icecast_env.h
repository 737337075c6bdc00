#pragma once
// The loopback Icecast2 that the end-to-end fixture (tests/engine_e2e/
// icecast_fixture.sh) starts for the suites labelled e2e: where it listens and
// how its admin interface is reached, read from the fixture's state folder.

#include <string>

namespace lumaro::test_support {

struct IcecastEnv {
    std::string Port;          // empty when the fixture did not start
    std::string AdminPassword; // of the user "admin"

    // Reads stateDir/env as the fixture wrote it.
    static IcecastEnv Read(const std::string& stateDir);

    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + Port + path; }
    // Sets the current title of a mount through Icecast's admin call.
    void SetTitle(const std::string& mount, const std::string& song) const;
};

} // namespace lumaro::test_support
