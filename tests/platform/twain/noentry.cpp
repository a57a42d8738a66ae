// A shared object with the data-source suffix but no DS_Entry: the manager must skip it.
extern "C" __attribute__((visibility("default"))) int notADataSource() {
    return 0;
}
