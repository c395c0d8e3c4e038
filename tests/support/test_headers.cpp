// The one source of the test programs' precompiled header (see
// tests/CMakeLists.txt): it holds nothing of its own.
