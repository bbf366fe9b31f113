#include "modbus/protocol_types.h"

const char* ProtocolIOResultText(TProtocolIOResult result) {
    switch (result) {
    case ioDriverError:
        return "Internal driver error.";
    case ioCommError:
        return "Communication error.";
    case ioOk:
        return "Sucessfull request.";
    case ioTimeOut:
        return "Communication timeout.";
    case ioIllegalFunction:
        return "Invalid IO function.";
    case ioIllegalRegAddress:
        return "Invalid memory address.";
    case ioIllegalValue:
        return "Invalid value.";
    case ioPLCError:
        return "Device error.";
    case ioTagError:
        return "Internal tag error.";
    case ioNullDriver:
        return "Tag without a driver.";
    case ioIllegalRequest:
        return "The request is invalid or not supported.";
    case ioIllegalStationAddress:
        return "Invalid device address.";
    case ioObjectNotExists:
        return "The requested object doesn't exists.";
    case ioIllegalMemoryAddress:
        return "The request is out of bound of the memory space of device.";
    case ioUnknownError:
        return "A invalid error code was returned.";
    case ioEmptyPacket:
        return "A empty packet was returned.";
    case ioPartialOk:
        return "An action was partially successful.";
    default:
        return "Unknown bug!";
    }
}

uint8_t TagTypeBits(TTagType type, uint8_t wordBits) {
    switch (type) {
    case pttShortInt:
    case pttByte:
        return 8;
    case pttSmallInt:
    case pttWord:
        return 16;
    case pttLongInt:
    case pttDWord:
    case pttFloat:
        return 32;
    case pttInt64:
    case pttQWord:
    case pttDouble:
        return 64;
    default:
        return wordBits;
    }
}
