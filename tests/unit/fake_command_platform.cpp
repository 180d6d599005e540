#include "tests/unit/fake_command_platform.h"

#include <algorithm>
#include <cstring>

#include "actions/command_platform.h"
#include "core/names.h"
#include "tests/unit/fake_platform.h"

namespace fakecommand {

std::vector<std::string> own;
std::string comspec = "C:\\Windows\\system32\\cmd.exe";
std::uint32_t startResult = 0;
std::vector<std::string> environment;

void reset() {
    own = {"PATH=C:\\Windows", "=C:=C:\\tools"};
    comspec = "C:\\Windows\\system32\\cmd.exe";
    startResult = 0;
    environment.clear();
}

} // namespace fakecommand

void setOwnVariable(const char* name, const char* value) {
    fake::calls.push_back(std::string("SetEnvironmentVariableA ") + name +
                          (value != nullptr ? std::string("=") + value : " (removed)"));
    auto& own = fakecommand::own;
    own.erase(std::remove_if(own.begin(), own.end(),
                             [&](const std::string& entry) {
                                 return sameNameIgnoringCase(entry.c_str(), entry.find('=', 1),
                                                             name);
                             }),
              own.end());
    if (value != nullptr) {
        own.push_back(std::string(name) + "=" + value);
    }
}

void commandInterpreter(char* out, std::uint32_t size) {
    fake::calls.push_back("GetEnvironmentVariableA COMSPEC");
    const bool fits = fakecommand::comspec.size() < size;
    std::strcpy(out, fits ? fakecommand::comspec.c_str() : "");
}

std::uint32_t startDetached(char* commandLine, const char* folder) {
    fake::calls.push_back(std::string("CreateProcessA ") + commandLine + " in " +
                          (folder != nullptr ? folder : "(current)"));
    fakecommand::environment = fakecommand::own;
    return fakecommand::startResult;
}
