// The platform tests' name for a machine of their own.
#pragma once

#include "tests/TestMachine.h"

using TempMachine = TestMachine;
