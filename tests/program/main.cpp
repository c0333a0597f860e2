#include <gtest/gtest.h>

#include <QCoreApplication>

// One QCoreApplication for every test: the D-Bus connections need it.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
