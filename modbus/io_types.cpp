#include "modbus/io_types.h"

const char* IOResultName(TIOResult result) {
    switch (result) {
    case iorOK:
        return "iorOK";
    case iorTimeOut:
        return "iorTimeOut";
    case iorNotReady:
        return "iorNotReady";
    case iorNone:
        return "iorNone";
    case iorPortError:
        return "iorPortError";
    }
    return "ior?";
}

const char* IOCommandName(TIOCommand command) {
    switch (command) {
    case iocNone:
        return "iocNone     ";
    case iocRead:
        return "iocRead     ";
    case iocReadWrite:
        return "iocReadWrite";
    case iocWrite:
        return "iocWrite    ";
    case iocWriteRead:
        return "iocWriteRead";
    }
    return "ioc?        ";
}
