#pragma once

namespace lumaro {

// The program's main routine: the start-up sequence, then the event loop.
int RunLumaroRadio(int argc, char** argv);

} // namespace lumaro
