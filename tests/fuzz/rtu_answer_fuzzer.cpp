// Arbitrary bytes as the answer to the RTU driver's requests.
#include "answer_fuzzing.h"
#include "modbus/modbus_rtu_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TAnswerFuzzer<TModBusRTUDriver> fuzzer;
    fuzzer.Run(data, size);
    return 0;
}
