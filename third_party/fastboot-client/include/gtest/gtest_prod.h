// What the client's headers need of gtest: the friend declaration for unit tests, which this
// build does not compile.
#pragma once
#define FRIEND_TEST(test_case_name, test_name) friend class test_case_name##_##test_name##_Test
