// Placeholder until dialogs exist.
#include "platform/shell/Shell.h"

BOOL SHInitDialog(SHINITDLGINFO* /*info*/) { return FALSE; }
