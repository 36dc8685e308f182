#ifndef VQ_TESTS_BROWSER_H
#define VQ_TESTS_BROWSER_H

// The DevTools driver is the tools' (velquor-page-capture's) own.
#include "tools/common/Browser.h"
#include "tests/support/Process.h"

using tools::Browser;

#endif
