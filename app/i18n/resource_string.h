#pragma once

#include <QString>

#include <initializer_list>
#include <vector>

// A named text of a program unit that a catalogue can replace at run time. The German source
// stays fixed; the current text is what the forms show.
class TResourceString {
public:
    TResourceString(const char* name, const char* source);

    const char* Name() const { return Name_; }
    QString Source() const { return QString::fromUtf8(Source_); }
    const QString& Text() const { return Text_; }
    void SetText(const QString& text) { Text_ = text; }

private:
    const char* Name_;
    const char* Source_;
    QString Text_;
};

// The resource strings of one unit ("main", "about", ...). Used on the user-interface thread only.
class TResourceUnit {
public:
    TResourceUnit(const char* name, std::initializer_list<TResourceString*> strings);

    const char* Name() const { return Name_; }
    const std::vector<TResourceString*>& Strings() const { return Strings_; }
    TResourceString* Find(QStringView name) const;
    // Every string back to its German source.
    void Reset();

private:
    const char* Name_;
    std::vector<TResourceString*> Strings_;
};

// A unit's strings are listed once, in its header, as X(name, "German source") lines of a list
// macro; these two macros turn that list into the declarations and into the definitions.
#define PARSETTA_RS_DECLARE_ONE(name, source) extern TResourceString name;
#define PARSETTA_RS_DEFINE_ONE(name, source) TResourceString name{#name, source};
#define PARSETTA_RS_ADDRESS_OF(name, source) &name,

#define PARSETTA_DECLARE_RESOURCE_UNIT(ns, LIST)                                                   \
    namespace ns {                                                                                 \
    LIST(PARSETTA_RS_DECLARE_ONE)                                                                  \
    TResourceUnit& Unit();                                                                         \
    }

#define PARSETTA_DEFINE_RESOURCE_UNIT(ns, unitName, LIST)                                          \
    namespace ns {                                                                                 \
    LIST(PARSETTA_RS_DEFINE_ONE)                                                                   \
    TResourceUnit& Unit() {                                                                        \
        static TResourceUnit unit(unitName, {LIST(PARSETTA_RS_ADDRESS_OF)});                       \
        return unit;                                                                               \
    }                                                                                              \
    }
