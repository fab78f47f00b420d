// The data module and every window, created once in their fixed order: the main window right
// after the data module, so that the settings are loaded before any other window reads them.
#pragma once

namespace rirevar {

void CreateWindows();
// Releases them in the reverse order (tests start the program more than once in one process).
void DestroyWindows();

}  // namespace rirevar
