// End to end through the entry table against the embedded engine libocilite.so.
#include <gtest/gtest.h>
