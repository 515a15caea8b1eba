// main() of every core test program: the services bound as start-up binds them.
#include <gtest/gtest.h>

#include "tests/support/TestServices.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  hvtest::BindTestServices();
  return RUN_ALL_TESTS();
}
