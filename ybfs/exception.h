#pragma once
// The program's exception lives in platform/exception.h; this name stays for the
// files that still include it from here.
#include "platform/exception.h"
