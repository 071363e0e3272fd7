#pragma once

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/session_command.h"

namespace vexa::test {

// One run of the session runner: its exit code, what it printed and the fixes among that.
struct SessionRun {
    struct Fix {
        double latitude = 0;
        double longitude = 0;
        double altitude = 0;
    };

    int code = -1;
    std::string output;
    std::vector<Fix> fixes;

    bool has(const std::string& line) const { return output.find(line + "\n") != std::string::npos; }
    // The lines appear in this order (others may come between them).
    bool inOrder(const std::vector<std::string>& lines) const {
        std::size_t from = 0;
        for (const auto& line : lines) {
            from = output.find(line + "\n", from);
            if (from == std::string::npos) return false;
        }
        return true;
    }
};

inline std::string ReadAll(std::FILE* file) {
    std::rewind(file);
    std::string text;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    return text;
}

// Runs a session with the location client's own transports.
inline SessionRun RunOn(const SessionOptions& options) {
    std::FILE* output = std::tmpfile();
    SessionRun run;
    run.code = RunSession(options, ClientServices{}, output, stderr);
    run.output = ReadAll(output);
    std::fclose(output);
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        SessionRun::Fix fix;
        unsigned index = 0;
        if (std::sscanf(line.c_str(), "POSITION %u: %lf %lf %lf", &index, &fix.latitude, &fix.longitude,
                        &fix.altitude) == 4) {
            run.fixes.push_back(fix);
        }
    }
    return run;
}

}  // namespace vexa::test
