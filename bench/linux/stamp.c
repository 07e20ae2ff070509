/* The command both daemons run in make bench-linux: appends the CLOCK_MONOTONIC time at which it
 * started, in nanoseconds, to the file named by its argument. */
#include <stdio.h>
#include <time.h>

int main(int argc, char** argv) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (argc < 2) {
        return 2;
    }
    FILE* file = fopen(argv[1], "a");
    if (file == NULL) {
        return 1;
    }
    fprintf(file, "%lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
    return fclose(file) == 0 ? 0 : 1;
}
