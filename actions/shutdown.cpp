#include "actions/actions_platform.h"
#include "actions/target_window.h"

bool ShutdownRequest() {
    const TokenHandle token = openOwnProcessToken();
    if (token == nullptr) {
        return false;
    }
    PrivilegeId shutdownPrivilege{0, 0};
    lookupShutdownPrivilege(&shutdownPrivilege);
    enablePrivilege(token, shutdownPrivilege);
    // Anything but 0 (ERROR_NOT_ALL_ASSIGNED included) means the privilege is not held.
    const bool accepted = lastErrorCode() == 0 && exitWindowsForced();
    closeToken(token);
    return accepted;
}
