#include "support/reset.h"

void ResetRealization() {}
