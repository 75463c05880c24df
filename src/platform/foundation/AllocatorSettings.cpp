// The executables allocate through jemalloc, which reads this setting when it starts.
// Reading a large datafile builds hundreds of megabytes of small values; backing the
// heap with transparent huge pages saves most of the page faults that would
// otherwise cost more than the parsing itself.
extern "C" {
extern const char* malloc_conf;
const char* malloc_conf = "thp:always,metadata_thp:auto";
}
