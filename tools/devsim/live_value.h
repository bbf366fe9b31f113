#pragma once

#include "register_image.h"

#include <string>
#include <vector>

// A diagnostic value that moves while the simulated device runs. Its rule comes from the
// template's mb_diag.live column:
//   "sine LOW HIGH PERIOD_S"   a slow sine between LOW and HIGH (engineering units)
//   "walk CENTRE SPREAD"       a smooth wander around CENTRE
//   "count START PER_S"        a counter that starts at START and counts up
//   "cycle PERIOD_S"           four bits that step through their 16 states
//   "above MASK MODREG;below MASK MODREG..."  status bits set while the device's primary value
//                              lies above or below the FLOAT setting at MODREG
//   "fixed" or empty           left as the image holds it
// Engineering values are turned into raw register values through the row's factor and offset,
// the inverse of what the diagnostics window applies: raw = value / factor - offset.
class TLiveValue {
public:
    TLiveValue(int modreg, int regcnt, std::string type, const std::string& live,
               const std::string& offset, const std::string& factor);

    bool IsPrimary() const { return kind == Sine; }
    // The engineering value of a "sine" or "walk" rule at time t (seconds since start).
    double EngineeringValue(double t) const;
    // Writes the value at time t into the image; primary is the device's primary value then.
    void Apply(double t, double primary, TRegisterImage& image) const;

private:
    enum Kind { Fixed, Sine, Walk, Count, Cycle, Status };
    struct TCompare {
        bool above = true;
        uint16_t mask = 0;
        int modreg = 0;
    };

    void WriteEngineering(double value, TRegisterImage& image) const;
    void WriteRaw(int64_t raw, TRegisterImage& image) const;
    uint16_t StatusBits(double primary, const TRegisterImage& image) const;

    uint16_t address = 0;
    std::string type;
    Kind kind = Fixed;
    std::vector<double> args;
    std::vector<TCompare> compares;
    double offset = 0;
    double factor = 1;
};
