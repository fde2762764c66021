// Known findings: a clang-tidy that does not report both by name checks nothing (static-analysis).
// The second is the static analyser's own: a null dereference on one path only.
int* Canary() {
    return 0;  // modernize-use-nullptr
}

int CanaryRead(bool given) {
    int local = 1;
    int* value = nullptr;
    if (given) value = &local;
    return *value;  // clang-analyzer-core.NullDereference when not given
}
