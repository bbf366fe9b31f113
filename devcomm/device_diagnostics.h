#pragma once

#include "db/db_query.h"
#include "devcomm/device_context.h"
#include "devcomm/device_info.h"
#include "params/arr_para_cache.h"
#include "params/option_list_table.h"
#include "params/parameter_row.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

// One row of mb_diag: the registers and type of a parameter row, its caption and how its value
// is shown.
struct TDiagRow {
    TParameterRow Register;
    QString Format;
    double Offset = 0.0;
    double Factor = 1.0;

    bool Hidden() const { return (Register.access & 4) != 0; }
    bool IsBitSet() const { return Register.type.rfind("BINARY_", 0) == 0; }
};

// "01.2.3" for firmware 0x0123: the high byte as two digits, then each nibble of the low byte.
QString FirmwareText(uint16_t version);

// The diagnostic rows of the identified type and firmware, in their order.
QString DiagRowsQuery(const TDeviceInfo& info);
std::vector<TDiagRow> LoadDiagRows(TDbQuery& query, const TDeviceInfo& info);

// A decimal column with "." as separator; fallback when it is empty or no finite number.
double DiagDecimal(const QString& text, double fallback);

// Applies a pattern with one floating-point directive (%f, %e, %g and their capitals, with
// flags, width and precision; "%%" is a percent sign) to value; the text around it is copied and
// the decimal point becomes decimalPoint. The template decides the pattern, so it is never handed
// to printf as it stands: a pattern with no, several or another directive, or with an outsized
// width or precision, shows the value in general notation instead.
QString FormatDiagValue(const QString& pattern, double value, QChar decimalPoint);

// The lines of a bit set shown against its option list: with `multiple` every option with
// "■ " (bit in common with value) or "○ "; otherwise "■ " + caption for every option sharing a
// bit, or the single line "OK" when none does.
using TCaptionLookup = std::function<QString(int textId)>;
QString BitListText(const TOptionList& list, int32_t value, const TCaptionLookup& caption);

// Height in pixels of the memo of a bit-set row.
int BitListHeight(const TOptionList* list);

// The value of one shown row after a refresh. Bit-set rows report Text only when their value
// changed (the memo keeps what it shows otherwise).
struct TDiagValue {
    int Index = 0;     // among the shown rows, from 0
    int BitIndex = -1; // among the shown bit-set rows, from 0; -1 for a value row
    bool Changed = true;
    QString Text;
};

enum TDeviceDiagStart { ddNoDevice, ddNoRows, ddStarted };

// The device diagnostics without a widget: identification, the rows of the device's type and
// firmware, and one refresh per timer tick that reads every row (each block once per tick) and
// gives its shown text. A read that fails shows "Error" in its row; in service mode the failure
// is reported once until the device answers again.
class TDeviceDiagnostics {
public:
    TDeviceDiagnostics(TDeviceContext& context, TDeviceInfo& info,
                       const TOptionListTable& optionLists, TCaptionLookup caption)
        : Context_(context), Info_(info), OptionLists_(optionLists), Caption_(std::move(caption)) {}

    QString NotAvailableText = QStringLiteral("Diagnosefunktionen im Geraet nicht verfuegbar!");
    // Called once the device is identified, before its rows are looked up: the window shows
    // name and firmware even when the type turns out to have no rows.
    std::function<void()> OnIdentified;
    static constexpr int IntervalMs = 500;

    TDeviceDiagStart Start(TDbQuery& templateQuery);
    // The rows shown, in order (hidden rows left out).
    const std::vector<TDiagRow>& Rows() const { return Rows_; }
    const TOptionList* OptionListOf(const TDiagRow& row) const;
    std::vector<TDiagValue> Refresh(QChar decimalPoint);

private:
    class TSource;
    QString ValueText(const TDiagRow& row, const TArrResult& result, QChar decimalPoint) const;

    TDeviceContext& Context_;
    TDeviceInfo& Info_;
    const TOptionListTable& OptionLists_;
    TCaptionLookup Caption_;
    std::vector<TDiagRow> Rows_;
    std::vector<std::optional<int32_t>> LastBits_;
    TArrParaCache ReadCache_;
    bool Failing_ = false;
};
