#include "tests/unit/fake_command_platform.h"

#include <cstring>

#include "actions/command_platform.h"
#include "actions/commands.h"
#include "tests/unit/fake_platform.h"

namespace fakecommand {

std::vector<std::string> inherited;
std::string comspec = "C:\\Windows\\system32\\cmd.exe";
std::uint32_t startResult = 0;
std::vector<std::string> environment;
std::uint32_t environmentLength = 0;

void reset() {
    inherited = {"PATH=C:\\Windows", "=C:=C:\\tools"};
    comspec = "C:\\Windows\\system32\\cmd.exe";
    startResult = 0;
    environment.clear();
    environmentLength = 0;
}

} // namespace fakecommand

namespace {

std::string handedOut;

// Entries up to the double zero, reading no further than the block may reach.
void copyEnvironment(const char* block) {
    fakecommand::environment.clear();
    fakecommand::environmentLength = 0;
    std::uint32_t at = 0;
    while (at < Commands::EnvironmentSize && block[at] != '\0') {
        const std::size_t length = strnlen(block + at, Commands::EnvironmentSize - at);
        fakecommand::environment.emplace_back(block + at, length);
        at += static_cast<std::uint32_t>(length) + 1;
    }
    if (at < Commands::EnvironmentSize) {
        fakecommand::environmentLength = at + 1;
    }
}

} // namespace

const char* inheritedEnvironment() {
    fake::calls.push_back("GetEnvironmentStringsA");
    handedOut.clear();
    for (const std::string& entry : fakecommand::inherited) {
        handedOut += entry;
        handedOut += '\0';
    }
    handedOut += '\0';
    return handedOut.c_str();
}

void releaseInheritedEnvironment(const char* block) {
    fake::calls.push_back(block == handedOut.c_str() ? "FreeEnvironmentStringsA"
                                                     : "FreeEnvironmentStringsA foreign block");
}

void commandInterpreter(char* out, std::uint32_t size) {
    fake::calls.push_back("GetEnvironmentVariableA COMSPEC");
    const bool fits = fakecommand::comspec.size() < size;
    std::strcpy(out, fits ? fakecommand::comspec.c_str() : "");
}

std::uint32_t startDetached(char* commandLine, const char* environment, const char* folder) {
    fake::calls.push_back(std::string("CreateProcessA ") + commandLine + " in " +
                          (folder != nullptr ? folder : "(current)"));
    copyEnvironment(environment);
    return fakecommand::startResult;
}
