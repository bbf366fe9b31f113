#pragma once
// The calling thread's last operating-system error and the system's text for a code.

#include <string>

int LastOSError();
void SetLastOSError(int code);
std::string OSErrorMessage(int code);
