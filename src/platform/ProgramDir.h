// The folder of the running executable, where the program's data lies.
#pragma once

#include <string>

namespace corvellin {

// The folder of the resolved executable (/proc/self/exe), ending with '/'.
// Links to the executable therefore still find the data beside the real file.
std::string ProgramDir();

}  // namespace corvellin
