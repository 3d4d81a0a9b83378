#pragma once
// The soak programs' command line and report lines, shared by the Qt and the Win32 soak.
#include <cstdio>
#include <cstdlib>
#include <string>

namespace velmaro::soak {

struct Options {
    std::string scenario;
    long refreshes = 10000;
    long every = 500;  // a report line every this many refreshes
    std::string log;   // also appended to this file as they come, for runs whose output is held back
};

// soak_… SCENARIO [REFRESHES [EVERY [LOGFILE]]]
inline bool ParseOptions(int argc, char** argv, Options& options) {
    if (argc < 2 || argc > 5) {
        std::fprintf(stderr, "usage: %s SCENARIO [REFRESHES [EVERY [LOGFILE]]]\n", argv[0]);
        return false;
    }
    options.scenario = argv[1];
    if (argc > 2) {
        options.refreshes = std::strtol(argv[2], nullptr, 10);
    }
    if (argc > 3) {
        options.every = std::strtol(argv[3], nullptr, 10);
    }
    if (argc > 4) {
        options.log = argv[4];
    }
    return options.refreshes > 0 && options.every > 0;
}

// "refreshes 500  rss 41.234 MB  ..." with the platform's extra counters appended.
inline void Report(const Options& options, long refreshes, double rssMegabytes, const std::string& extra) {
    char line[160];
    std::snprintf(line, sizeof line, "refreshes %7ld  rss %8.3f MB%s\n", refreshes, rssMegabytes, extra.c_str());
    std::fputs(line, stdout);
    std::fflush(stdout);
    if (!options.log.empty()) {
        if (std::FILE* log = std::fopen(options.log.c_str(), "a")) {
            std::fputs(line, log);
            std::fclose(log);
        }
    }
}

}  // namespace velmaro::soak
