// Selecting the row: the program comes to the front, or is started from the
// plug-in's folder when it does not run.
#pragma once

namespace plugin {

void ActivateProgram();

}  // namespace plugin
