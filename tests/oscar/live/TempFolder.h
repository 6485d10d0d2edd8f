// The live tests' private folders are the shared test folders.
#pragma once

#include "tests/common/TestSupport.h"

namespace live {
using TempFolder = testsupport::TempFolder;
}  // namespace live
