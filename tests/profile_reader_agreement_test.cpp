// Placeholder: the agreement of the profile reader stand-in with the real reader.
#include <gtest/gtest.h>
