// Runs a command several times; prints the median wall time in seconds
// and the largest peak resident set size in KiB, from the kernel's own
// accounting of the child.
//   run_cmd RUNS COMMAND [ARGS...]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: run_cmd RUNS COMMAND [ARGS...]\n");
        return 64;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<double> seconds;
    long maxRss = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            execvp(argv[2], argv + 2);
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        if (pid < 0 || wait4(pid, &status, 0, &usage) < 0) {
            std::perror("run_cmd");
            return 1;
        }
        seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        maxRss = std::max(maxRss, usage.ru_maxrss);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "run_cmd: %s failed\n", argv[2]);
            return 1;
        }
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("%.6f %ld\n", seconds[seconds.size() / 2], maxRss);
    return 0;
}
