// Arbitrary bytes as the answer to the TCP driver's requests.
#include "answer_fuzzing.h"
#include "modbus/modbus_tcp_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TAnswerFuzzer<TModBusTCPDriver> fuzzer;
    fuzzer.Run(data, size);
    return 0;
}
