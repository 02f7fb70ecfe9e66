// zmscan's command line.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace cli {

enum class Command { Help, Free, Changes, Duplicates, ImagesAccept, ImagesDiscard };

struct Arguments {
    Command command = Command::Help;
    int16_t quantity = 100;
    std::string masks;  // empty: the default list
    bool searchTemp = true;
    bool excludeSystem = true;
    std::string out;  // empty: the program folder
    bool quiet = false;
    int threads = 4;
    std::vector<std::string> roots;
};

// False with a message for bad arguments.
bool ParseArguments(const std::vector<std::string>& args, Arguments& out, std::string& error);

extern const char* const kUsage;

}  // namespace cli
