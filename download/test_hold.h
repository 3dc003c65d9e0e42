// A seam for the tests of Stop: holds the download thread at a named point until the
// test lets it go, so the test can press Stop exactly there. Only the test build
// (LANSHI_TEST_SEAMS) has it; every other build compiles it to nothing.
#pragma once

#ifdef LANSHI_TEST_SEAMS
// While a file "hold-<point>" lies beside the program, the thread that reaches the
// point writes "held-<point>" there and waits until the test removes the hold file.
void HoldForTest(const char* point);
#else
inline void HoldForTest(const char*) {}
#endif
