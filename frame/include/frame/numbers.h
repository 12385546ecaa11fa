// frame::Numbers, kept where nodes have always included it from (frame/values.h).
#pragma once

#include "frame/values.h"
