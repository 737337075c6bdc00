#pragma once
// Loopback ports for the tests' own servers and for addresses where nobody
// listens.

namespace lumaro::test_support {

// A loopback TCP port that was free a moment ago: bound once to port 0 and
// closed again. A connection to it is refused until someone binds it.
int FreeLoopbackPort();

} // namespace lumaro::test_support
