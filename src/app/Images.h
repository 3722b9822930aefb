#pragma once

// Makes the program's images (":/images/...") available. They are compiled
// into the core library, a static library, whose resources must be
// registered by hand; calling this more than once is harmless.
void registerProgramImages();
