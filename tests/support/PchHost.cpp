// The target that builds the precompiled headers most test programs reuse (tests/CMakeLists.txt).
// It needs one source of its own; it is linked into nothing.
