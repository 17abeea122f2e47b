// Windows tests' include of the shared temporary folder (tests/core/TestFolder.h), with the
// Win32 declarations those tests use beside it.
#pragma once
#include <windows.h>
#include "tests/core/TestFolder.h"
