#pragma once
// The session's logon values, shared with the client layer's login prompt.

#include "oci/LogonValues.h"
