#include "ITrace.h"

void ITrace(const char*, int, const char*, ...) {}
