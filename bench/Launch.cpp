// Runs one program and tells how long it took and how much memory it held:
//
//     Launch ANSWERS PROGRAM [ARGUMENT...]
//
// The program's standard input is the file ANSWERS, its standard output goes
// to /dev/null. Prints one line: the nanoseconds from just before the process
// is made until it has been waited for, its peak resident memory in KiB
// (ru_maxrss from wait4), and its exit status (127: it could not be started).
//
// The peak is measured from this small, statically linked program because the
// kernel counts into a child's ru_maxrss the memory of the process it was
// forked from, up to the moment it starts its program: started from a Python
// interpreter, any child would show the interpreter's ten or more MiB.
#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: Launch ANSWERS PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    int answers = open(argv[1], O_RDONLY | O_CLOEXEC);
    int nothing = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (answers < 0 || nothing < 0) {
        perror("Launch");
        return 2;
    }

    struct timespec start;
    struct timespec end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t child = vfork();
    if (child == 0) {
        dup2(answers, 0);
        dup2(nothing, 1);
        execv(argv[2], argv + 2);
        _exit(127);
    }
    if (child < 0) {
        perror("Launch");
        return 2;
    }
    int status = 0;
    struct rusage usage;
    if (wait4(child, &status, 0, &usage) != child) {
        perror("Launch");
        return 2;
    }
    clock_gettime(CLOCK_MONOTONIC, &end);

    long long nanoseconds =
        (end.tv_sec - start.tv_sec) * 1000000000LL + (end.tv_nsec - start.tv_nsec);
    int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    printf("%lld %ld %d\n", nanoseconds, usage.ru_maxrss, exitStatus);
    return 0;
}
