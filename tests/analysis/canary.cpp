// A known finding for each analyser, which static-analysis beside this file runs first: a tool
// that does not report it, by its check's name, checks nothing.
int Canary() {
    int values[2] = {1, 2};
    int* none = 0;                           // clang-tidy: modernize-use-nullptr
    return values[2] + (none == 0 ? 1 : 0);  // cppcheck: arrayIndexOutOfBounds
}
