// Random texts in every column that the model reads, random bytes from the device: nothing may
// crash, and what comes out must still be usable (valid literals, bounded writes).
#include "params/conversion_error.h"
#include "params/copy_to_statement.h"
#include "params/decimal_text.h"
#include "params/decode_parameter.h"
#include "params/grid_rules.h"
#include "params/label_table.h"
#include "params/option_display_text.h"
#include "params/parameter_codec.h"
#include "params/sql_text.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class RandomText {
public:
    explicit RandomText(uint32_t seed) : Engine_(seed) {}

    std::string Next() {
        static const std::vector<std::string> pieces{
            "INT16",       "UINT16",     "INT32",   "UINT32",     "FLOAT",    "ASCII16",  "ASCII24",
            "SELECT_",     "BINARY_",    "mb_node", "mb_segment", "parentID", "45001",    "0",
            "1",           "2",          "3",       ":",          ",",        ".",        ";",
            "'",           "\"",         " ",       "\t",         "-",        "+",        "e",
            "99999999999", "2147483648", "\x00",    "\xFF",       "\xC3\xA4", "\xE2\x82", "x"};
        std::string text;
        const int parts = Pick(0, 6);
        for (int i = 0; i < parts; ++i) {
            if (Pick(0, 3) == 0)
                text += static_cast<char>(Pick(0, 255));
            else
                text += pieces[static_cast<size_t>(Pick(0, static_cast<int>(pieces.size()) - 1))];
        }
        return text;
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(Engine_); }

private:
    std::mt19937 Engine_;
};

class RandomDevice : public TRegisterSource {
public:
    explicit RandomDevice(RandomText& random) : Random_(random) {}
    bool ReadRegisters(int, int count, std::vector<uint16_t>& registers) override {
        if (Random_.Pick(0, 9) == 0)
            return false;
        const int delivered = Random_.Pick(0, 9) == 0 ? Random_.Pick(0, count) : count;
        registers.resize(static_cast<size_t>(delivered));
        for (uint16_t& value : registers)
            value = static_cast<uint16_t>(Random_.Pick(0, 65535));
        return true;
    }

private:
    RandomText& Random_;
};

class NoOptions : public TOptionCatalog {
public:
    std::optional<TOptionRow> FindOption(std::string_view, int32_t value) override {
        return TOptionRow{value, 0, value, value % 3 - 1, ""};
    }
};

TParameterRow RandomRow(RandomText& random) {
    TParameterRow row;
    row.modreg = random.Pick(0, 3) == 0 ? random.Pick(-5, 200000) : 45001 + random.Pick(0, 20);
    row.regcnt = random.Pick(-2, 20);
    row.type = random.Next();
    row.value = random.Next();
    row.min = random.Next();
    row.max = random.Next();
    row.factory = random.Next();
    row.copyto = random.Next();
    row.label = random.Next();
    row.cond = random.Next();
    row.vallist = random.Next();
    row.block = random.Pick(0, 2) == 0 ? "0" : random.Next();
    row.byteofs = random.Next();
    return row;
}

TEST(ParamsFuzz, RandomColumnsAndBytesNeverBreakTheModel) {
    SetDecimalSeparator('.');
    RandomText random(20261211);
    RandomDevice device(random);
    NoOptions options;
    TArrParaCache cache;
    for (int round = 0; round < 20000; ++round) {
        const TParameterRow row = RandomRow(random);

        const TArrResult result = DecodeParameter(row, cache, device);
        ASSERT_TRUE(result.Status == 0 || (result.Status == -1 && result.Text == "Error"));
        if (result.Status == 0 && ParamTypeOf(row.type) != ptFLOAT) {
            ASSERT_TRUE(IsSqlNumber(result.Text) || IsQuotedSqlText(result.Text)) << result.Text;
        }
        ASSERT_TRUE(IsSqlNumber(AsSqlLiteral(result.Text)) ||
                    IsQuotedSqlText(AsSqlLiteral(result.Text)));

        std::vector<uint8_t> destination(static_cast<size_t>(random.Pick(0, 30)), 0xAA);
        const int written =
            EncodeParameterValue(row.type, row.value, random.Pick(-1, 3), destination);
        ASSERT_LE(static_cast<size_t>(written), destination.size());

        for (TLabelMode mode : {lmGrid, lmWrite}) {
            try {
                const TLabelTable labels({row, RandomRow(random)}, mode);
                ConditionHolds(RandomRow(random), labels);
            } catch (const TConversionError&) {
            }
        }

        const auto statement = CopyToStatement(row.copyto, row.value, row.id, 1);
        if (statement) {
            ASSERT_EQ(statement->rfind("UPDATE mb_", 0), 0u);
            const size_t set = statement->find(" SET ") + 5;
            const std::string column = statement->substr(set, statement->find('=') - set);
            ASSERT_EQ(
                column.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                         "0123456789_"),
                std::string::npos)
                << *statement;
        }
        OptionDisplayText(row.type, row.value, options, [](int32_t) { return std::string(); });
        ParseDecimalText(row.min);
        ParseDecimalText(row.max);

        const TEditStore edit = EvaluateEdit(row, random.Next(), row.value, 1);
        for (const TTracedStatement& statement : edit.Statements)
            ASSERT_EQ(statement.Sql.rfind("UPDATE mb_", 0), 0u);
        try {
            FillParameterRows({row, RandomRow(random), RandomRow(random)}, options, nullptr);
        } catch (const TConversionError&) {
        }
    }
}

} // namespace
