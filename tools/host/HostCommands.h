// The command-line front end: a table of commands, each with its usage line, its help and its
// options. A new command is one more table row and one more handler.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "Arguments.h"

class HostCommands {
public:
    // Runs the command named by argv[1]; answers the exit status: 0 done, 1 failed,
    // 2 bad command line.
    static int run(int argc, char** argv);

private:
    struct Command {
        const char* name;
        const char* usage;
        const char* help;                  // what it does and what its options mean
        std::vector<const char*> options;  // each takes a value
        std::vector<const char*> flags;    // none takes one
        int (*handler)(const Arguments& arguments);
    };
    static const Command commands[];

    static int runCommand(int argc, char** argv);
    static int info(const Arguments& arguments);
    static int render(const Arguments& arguments);
    static int editor(const Arguments& arguments);
    static int validate(const Arguments& arguments);

    static const Command* find(const std::string& name);
    static void printUsage(std::FILE* out);
    static void printHelp(const Command& command);
    static int fail(const std::string& message);
    static int usageError(const std::string& message);
    static std::string defaultPlugin();
    // The one optional DLL word of info and editor; the build's plug-in when absent.
    static bool onePlugin(const Arguments& arguments, const char* command, std::string& path, std::string& error);
};
