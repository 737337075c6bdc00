#include "tests/support/icecast_env.h"

#include "tests/support/capture.h"

#include <fstream>

namespace lumaro::test_support {

IcecastEnv IcecastEnv::Read(const std::string& stateDir) {
    IcecastEnv ice;
    std::ifstream env(stateDir + "/env");
    for (std::string line; std::getline(env, line);) {
        if (line.starts_with("PORT=")) ice.Port = line.substr(5);
        if (line.starts_with("ADMIN_PW=")) ice.AdminPassword = line.substr(9);
    }
    return ice;
}

void IcecastEnv::SetTitle(const std::string& mount, const std::string& song) const {
    Capture("curl -s -o /dev/null -u admin:" + AdminPassword + " --get --data-urlencode mount=" + mount +
            " --data-urlencode mode=updinfo --data-urlencode song=" + Quote(song) + " " +
            Url("/admin/metadata"));
}

} // namespace lumaro::test_support
