#ifndef KORVANE_TESTS_GAME_FATALEXITGUARD_H
#define KORVANE_TESTS_GAME_FATALEXITGUARD_H

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

// FatalError ends the process with status 0 before Google Test has written its
// results, which CTest would count as a pass. Included once in a test program,
// this turns an exit in the middle of a test into a failure (the children of
// death tests excepted: their exit is the point).
// The test registry is made first, so that it outlives the handler.
inline const int gFatalExitFails =
    (::testing::UnitTest::GetInstance(),
     std::atexit(
         []
         {
             const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
             if (test != nullptr && !::testing::internal::InDeathTestChild())
             {
                 std::printf("\nThe program ended during %s.%s\n", test->test_suite_name(), test->name());
                 std::fflush(stdout);
                 std::_Exit(1);
             }
         }));

#endif
