#include "live_value.h"

#include "sim_value_encoder.h"

#include <cmath>
#include <numbers>
#include <sstream>

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

} // namespace

TLiveValue::TLiveValue(int modreg, int regcnt, std::string type, const std::string& live,
                       const std::string& offsetText, const std::string& factorText)
    : address(static_cast<uint16_t>(modreg - 40001)), type(std::move(type)) {
    (void)regcnt;
    offset = TSimValueEncoder::ParseDecimal(offsetText);
    factor = factorText.empty() ? 1 : TSimValueEncoder::ParseDecimal(factorText);
    if (factor == 0)
        factor = 1;

    std::istringstream words(live);
    std::string word;
    words >> word;
    if (word == "above" || word == "below") {
        kind = Status;
        for (const std::string& clause : Split(live, ';')) {
            std::istringstream in(clause);
            std::string direction;
            unsigned mask = 0;
            TCompare compare;
            in >> direction >> mask >> compare.modreg;
            compare.above = direction == "above";
            compare.mask = static_cast<uint16_t>(mask);
            if (in)
                compares.push_back(compare);
        }
        return;
    }
    kind = word == "sine"    ? Sine
           : word == "walk"  ? Walk
           : word == "count" ? Count
           : word == "cycle" ? Cycle
                             : Fixed;
    for (double arg; words >> arg;)
        args.push_back(arg);
    const size_t needed = kind == Sine ? 3 : kind == Walk || kind == Count ? 2 : kind == Cycle;
    if (args.size() < needed)
        kind = Fixed;
}

double TLiveValue::EngineeringValue(double t) const {
    if (kind == Sine) {
        const double middle = (args[0] + args[1]) / 2;
        const double amplitude = (args[1] - args[0]) / 2;
        return middle + amplitude * std::sin(2 * std::numbers::pi * t / args[2]);
    }
    if (kind == Walk) // two incommensurate waves look like a value that wanders
        return args[0] + args[1] * (0.6 * std::sin(t / 7.3) + 0.4 * std::sin(t / 2.1));
    return 0;
}

void TLiveValue::Apply(double t, double primary, TRegisterImage& image) const {
    switch (kind) {
    case Sine:
    case Walk:
        WriteEngineering(EngineeringValue(t), image);
        break;
    case Count:
        WriteRaw(static_cast<int64_t>(args[0] + std::floor(args[1] * t)), image);
        break;
    case Cycle:
        WriteRaw(static_cast<int64_t>(std::floor(t / args[0])) % 16, image);
        break;
    case Status:
        WriteRaw(StatusBits(primary, image), image);
        break;
    case Fixed:
        break;
    }
}

void TLiveValue::WriteEngineering(double value, TRegisterImage& image) const {
    const double raw = value / factor - offset;
    if (type == "FLOAT")
        image.SetFloat(address, static_cast<float>(raw));
    else
        WriteRaw(std::llround(raw), image);
}

void TLiveValue::WriteRaw(int64_t raw, TRegisterImage& image) const {
    if (type == "FLOAT")
        image.SetFloat(address, static_cast<float>(raw));
    else if (type == "INT32" || type == "UINT32")
        image.SetUInt32(address, static_cast<uint32_t>(raw));
    else
        image.Set(address, static_cast<uint16_t>(raw));
}

uint16_t TLiveValue::StatusBits(double primary, const TRegisterImage& image) const {
    uint16_t bits = 0;
    for (const TCompare& compare : compares) {
        const double threshold = image.GetFloat(static_cast<uint16_t>(compare.modreg - 40001));
        if (compare.above ? primary > threshold : primary < threshold)
            bits |= compare.mask;
    }
    return bits;
}
