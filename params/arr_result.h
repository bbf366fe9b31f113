#pragma once

#include <cstdint>
#include <string>

// The decoded or written result of one parameter row.
struct TArrResult {
    std::string Text; // value text as an SQL literal, "Error" after a failure
    int32_t IntValue = 0;
    float FloatValue = 0.0f;
    uint32_t UIntValue = 0;
    int32_t Status = 0; // 0 success, -1 failure
    std::string Dump;
    int32_t Unused = -1; // set by every operation, read by none
    std::string TypeName;
};

// Every operation that fills a result starts from this state.
inline TArrResult StartResult(const std::string& typeName) {
    TArrResult result;
    result.TypeName = typeName;
    return result;
}

inline void SetResultError(TArrResult& result) {
    result.Status = -1;
    result.Text = "Error";
}
