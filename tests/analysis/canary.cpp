// A known finding for each static analyser (scripts/static-analysis runs them on this file first):
// a tool that does not report it checks nothing.
int Canary() {
    int values[2] = {1, 2};
    int* none = 0;                           // clang-tidy: modernize-use-nullptr
    return values[2] + (none == 0 ? 1 : 0);  // cppcheck: arrayIndexOutOfBounds
}
