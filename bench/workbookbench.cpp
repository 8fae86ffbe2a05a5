// Times writing the run chart workbook: median, fastest and slowest of N runs, in milliseconds.
//   quorvale-workbook-bench FILE [RUNS]
#include "runchartworkbook.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: %s FILE [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc == 3 ? std::atoi(argv[2]) : 51;
    if (runs < 1) {
        std::fprintf(stderr, "RUNS must be a positive number\n");
        return 2;
    }

    const quorvale::WorkbookProperties properties{"Run Chart", "Quality", "Quorvale", "run chart", "benchmark"};
    std::vector<double> milliseconds;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const auto result = quorvale::WriteRunChartWorkbook(argv[1], properties);
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        if (!result) {
            std::fprintf(stderr, "writing %s failed: %s\n", argv[1], result.reason.c_str());
            return 1;
        }
        milliseconds.push_back(elapsed.count());
    }

    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("workbook: %d runs, median %.3f ms, fastest %.3f ms, slowest %.3f ms\n", runs,
                milliseconds[milliseconds.size() / 2], milliseconds.front(), milliseconds.back());
    return 0;
}
