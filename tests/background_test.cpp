#include "tests/support/GLContext.h"
