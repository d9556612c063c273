# Shared by scripts/test and scripts/fuzz (sourced, not run): the sanitizer
# builds and the options their programs run with. Expects ROOT.

# AddressSanitizer + UndefinedBehaviorSanitizer, built with clang together with
# the libFuzzer programs of the fuzz targets.
ASAN_BUILD_DIR="$ROOT/build/asan"
asan_build() {
    CC=clang CXX=clang++ "$ROOT/scripts/build" "$ASAN_BUILD_DIR" RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DORBA_SANITIZE=address,undefined -DORBA_FUZZ=ON -DORBA_BUILD_BENCH=OFF "$@"
}
# Any finding ends the program with an error: memory faults, leaks, undefined behaviour.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:check_initialization_order=1:detect_stack_use_after_return=1:strict_init_order=1"
export LSAN_OPTIONS="suppressions=$ROOT/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

# ThreadSanitizer, built with g++.
TSAN_BUILD_DIR="$ROOT/build/tsan"
tsan_build() {
    "$ROOT/scripts/build" "$TSAN_BUILD_DIR" RelWithDebInfo -DORBA_SANITIZE=thread \
        -DORBA_BUILD_BENCH=OFF "$@"
}
