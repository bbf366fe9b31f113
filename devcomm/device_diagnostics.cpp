#include "devcomm/device_diagnostics.h"

#include "devcomm/identify_device.h"
#include "params/decode_parameter.h"

#include <cmath>

namespace {

constexpr int MaxWidth = 64;
constexpr int MaxPrecision = 30;

// The one directive of a pattern, rebuilt from the parts that were checked.
struct TDirective {
    qsizetype Start = 0;
    qsizetype End = 0;
    QString Text; // "%" + flags + width + precision + conversion
};

// Reads digits from at on; false when there are more than two (a width or precision of three
// digits is already beyond what any label shows).
bool ReadNumber(const QString& text, qsizetype& at, int& number) {
    number = 0;
    const qsizetype start = at;
    while (at < text.size() && text[at].isDigit() && text[at].unicode() < 128) {
        number = number * 10 + (text[at].unicode() - '0');
        if (++at - start > 2)
            return false;
    }
    return true;
}

// Parses the directive that starts at the '%' at position at.
std::optional<TDirective> ParseDirective(const QString& pattern, qsizetype at) {
    TDirective d;
    d.Start = at++;
    d.Text = QStringLiteral("%");
    while (at < pattern.size() && QStringLiteral("-+ #0").contains(pattern[at]))
        d.Text += pattern[at++];
    int width = 0;
    const qsizetype widthStart = at;
    if (!ReadNumber(pattern, at, width) || width > MaxWidth)
        return std::nullopt;
    d.Text += pattern.mid(widthStart, at - widthStart);
    if (at < pattern.size() && pattern[at] == QLatin1Char('.')) {
        ++at;
        int precision = 0;
        const qsizetype precisionStart = at;
        if (!ReadNumber(pattern, at, precision) || precision > MaxPrecision)
            return std::nullopt;
        d.Text += QLatin1Char('.') + pattern.mid(precisionStart, at - precisionStart);
    }
    // "%lf" means the same as "%f".
    if (at < pattern.size() && pattern[at] == QLatin1Char('l'))
        ++at;
    if (at >= pattern.size() || !QStringLiteral("fFeEgG").contains(pattern[at]))
        return std::nullopt;
    d.Text += pattern[at++];
    d.End = at;
    return d;
}

// The literal text of a pattern part ("%%" read as "%"); nothing when it holds a directive.
std::optional<QString> Literal(const QString& part) {
    QString text;
    for (qsizetype i = 0; i < part.size(); ++i) {
        if (part[i] != QLatin1Char('%')) {
            text += part[i];
            continue;
        }
        if (i + 1 >= part.size() || part[i + 1] != QLatin1Char('%'))
            return std::nullopt;
        text += QLatin1Char('%');
        ++i;
    }
    return text;
}

// The position of the first '%' that is not part of "%%", or -1.
qsizetype FirstDirective(const QString& pattern) {
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != QLatin1Char('%'))
            continue;
        if (i + 1 < pattern.size() && pattern[i + 1] == QLatin1Char('%'))
            ++i;
        else
            return i;
    }
    return -1;
}

QString WithDecimalPoint(QString number, QChar decimalPoint) {
    return number.replace(QLatin1Char('.'), decimalPoint);
}

// Decoded texts of the text types are SQL literals; the window shows the text itself.
QString Unquoted(const std::string& text) {
    QString value = QString::fromStdString(text);
    if (value.size() >= 2 && value.startsWith(QLatin1Char('\'')) &&
        value.endsWith(QLatin1Char('\'')))
        value = value.mid(1, value.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    return value;
}

bool SharesBit(int32_t a, int32_t b) {
    return (a & b) != 0;
}

} // namespace

QString FirmwareText(uint16_t version) {
    return QStringLiteral("%1.%2.%3")
        .arg(version >> 8, 2, 16, QLatin1Char('0'))
        .arg(version >> 4 & 0xF, 1, 16)
        .arg(version & 0xF, 1, 16)
        .toUpper();
}

QString DiagRowsQuery(const TDeviceInfo& info) {
    const QString version = VersionText(info);
    return QStringLiteral("SELECT * FROM mb_diag WHERE devid='") + DeviceTypeCode(info) +
           QStringLiteral("'") + QStringLiteral(" AND (minversion='' OR minversion<='") + version +
           QStringLiteral("') AND (maxversion='' OR maxversion>='") + version +
           QStringLiteral("')") + QStringLiteral(" ORDER BY sorting");
}

std::vector<TDiagRow> LoadDiagRows(TDbQuery& query, const TDeviceInfo& info) {
    std::vector<TDiagRow> rows;
    query.Open(DiagRowsQuery(info), 0);
    for (; !query.Eof(); query.Next()) {
        TDiagRow row;
        TParameterRow& r = row.Register;
        r.id = query.FieldAsInteger(QStringLiteral("id"));
        r.sorting = query.FieldAsInteger(QStringLiteral("sorting"));
        r.modreg = query.FieldAsInteger(QStringLiteral("modreg"));
        r.regcnt = query.FieldAsInteger(QStringLiteral("regcnt"));
        r.access = query.FieldAsInteger(QStringLiteral("access"));
        r.type = query.FieldAsString(QStringLiteral("type")).toStdString();
        r.block = query.FieldAsString(QStringLiteral("block")).toStdString();
        r.byteofs = query.FieldAsString(QStringLiteral("byteofs")).toStdString();
        r.textID = query.FieldAsInteger(QStringLiteral("textID"));
        row.Format = query.FieldAsString(QStringLiteral("format"));
        row.Offset = DiagDecimal(query.FieldAsString(QStringLiteral("offset")), 0.0);
        row.Factor = DiagDecimal(query.FieldAsString(QStringLiteral("factor")), 1.0);
        rows.push_back(std::move(row));
    }
    query.Close();
    return rows;
}

double DiagDecimal(const QString& text, double fallback) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : fallback;
}

QString FormatDiagValue(const QString& pattern, double value, QChar decimalPoint) {
    const QString general = WithDecimalPoint(QString::asprintf("%g", value), decimalPoint);
    const qsizetype at = FirstDirective(pattern);
    if (at < 0)
        return general;
    const std::optional<TDirective> directive = ParseDirective(pattern, at);
    if (!directive)
        return general;
    const std::optional<QString> before = Literal(pattern.left(directive->Start));
    const std::optional<QString> after = Literal(pattern.mid(directive->End));
    if (!before || !after)
        return general;
    // The directive was rebuilt from checked parts only, so it is safe to format with.
    const QString number = QString::asprintf(directive->Text.toLatin1().constData(), value);
    return *before + WithDecimalPoint(number, decimalPoint) + *after;
}

QString BitListText(const TOptionList& list, int32_t value, const TCaptionLookup& caption) {
    QStringList lines;
    const QString on = QStringLiteral("■ ");
    const QString off = QStringLiteral("○ ");
    if (list.multiple) {
        for (const TOptionEntry& option : list.Options)
            lines << (SharesBit(option.value, value) ? on : off) + caption(option.textID);
        return lines.join(QLatin1Char('\n'));
    }
    int32_t all = 0;
    for (const TOptionEntry& option : list.Options)
        all |= option.value;
    if (!SharesBit(all, value))
        return QStringLiteral("OK");
    for (const TOptionEntry& option : list.Options)
        if (SharesBit(option.value, value))
            lines << on + caption(option.textID);
    return lines.join(QLatin1Char('\n'));
}

int BitListHeight(const TOptionList* list) {
    if (list && list->multiple)
        return list->OptionCount() * 15 + 8;
    return 23;
}

// Reads rows' registers through the link; a failure streak is reported once.
class TDeviceDiagnostics::TSource : public TRegisterSource {
public:
    TSource(TDeviceContext& context, bool& failing) : Context_(context), Failing_(failing) {}
    bool ReadRegisters(int startRegister, int count, std::vector<uint16_t>& registers) override {
        TDeviceLink& link = Context_.Link;
        TProtocolIOResult result = ioTimeOut;
        if (startRegister >= 40001 && link.OpenConnection())
            result = link.ReadBlock(link.Station(), startRegister - 40001, count, registers);
        if (result == ioOk && registers.size() == static_cast<size_t>(count)) {
            Failing_ = false;
            return true;
        }
        if (!Failing_)
            CheckReadResult(Context_, result == ioOk ? ioEmptyPacket : result);
        else if (Context_.ServiceMode)
            link.Detach();
        Failing_ = true;
        return false;
    }

private:
    TDeviceContext& Context_;
    bool& Failing_;
};

TDeviceDiagStart TDeviceDiagnostics::Start(TDbQuery& templateQuery) {
    Rows_.clear();
    LastBits_.clear();
    Failing_ = false;
    if (!IdentifyDevice(Context_, Info_)) {
        Context_.Messages.ShowMessage(Context_.Texts.NoDeviceFound);
        return ddNoDevice;
    }
    if (OnIdentified)
        OnIdentified();
    std::vector<TDiagRow> rows = LoadDiagRows(templateQuery, Info_);
    if (rows.empty()) {
        Context_.Messages.ShowMessage(NotAvailableText);
        return ddNoRows;
    }
    for (TDiagRow& row : rows)
        if (!row.Hidden())
            Rows_.push_back(std::move(row));
    return ddStarted;
}

const TOptionList* TDeviceDiagnostics::OptionListOf(const TDiagRow& row) const {
    return OptionLists_.Find(row.Register.type);
}

QString TDeviceDiagnostics::ValueText(const TDiagRow& row, const TArrResult& result,
                                      QChar decimalPoint) const {
    // A failed read shows as such: a number made of offset and factor alone would look like a
    // measured value.
    if (result.Status != 0)
        return QString::fromStdString(result.Text);
    const std::string& type = row.Register.type;
    double value = 0.0;
    if (type == "FLOAT")
        value = result.FloatValue;
    else if (type == "INT16" || type == "UINT16" || type == "INT32")
        value = result.IntValue;
    else if (type == "UINT32")
        value = result.UIntValue;
    else
        return Unquoted(result.Text);
    return FormatDiagValue(row.Format, (value + row.Offset) * row.Factor, decimalPoint);
}

std::vector<TDiagValue> TDeviceDiagnostics::Refresh(QChar decimalPoint) {
    ReadCache_.Clear();
    std::vector<TDiagValue> values;
    TSource source(Context_, Failing_);
    int bitIndex = 0;
    for (size_t i = 0; i < Rows_.size(); ++i) {
        const TDiagRow& row = Rows_[i];
        const TArrResult result = DecodeParameter(row.Register, ReadCache_, source);
        TDiagValue value;
        value.Index = static_cast<int>(i);
        if (!row.IsBitSet()) {
            value.Text = ValueText(row, result, decimalPoint);
            values.push_back(std::move(value));
            continue;
        }
        value.BitIndex = bitIndex++;
        if (LastBits_.size() < static_cast<size_t>(bitIndex))
            LastBits_.resize(static_cast<size_t>(bitIndex));
        std::optional<int32_t>& last = LastBits_[static_cast<size_t>(value.BitIndex)];
        const std::optional<int32_t> now =
            result.Status == 0 ? std::optional<int32_t>(result.IntValue) : std::nullopt;
        // After a failure (last empty) the next good value repaints, whatever it is.
        value.Changed = !now || last != now;
        if (!now)
            value.Text = QString::fromStdString(result.Text);
        else if (const TOptionList* list = OptionListOf(row))
            value.Text = BitListText(*list, *now, Caption_);
        else
            value.Text = QString::number(*now);
        last = now;
        values.push_back(std::move(value));
    }
    return values;
}
