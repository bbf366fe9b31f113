// The parameter rows of the bundled template database through the model: every writable row's
// value, encoded as the write pass does and decoded as the read pass does, comes back unchanged;
// every option value names an option; every copy target makes a statement.
#include "params/copy_to_statement.h"
#include "params/db_option_source.h"
#include "params/decimal_text.h"
#include "params/decode_parameter.h"
#include "params/label_table.h"
#include "params/option_display_text.h"
#include "params/parameter_codec.h"
#include "params/sql_text.h"
#include "params/text_util.h"

#include "db/db_connection.h"
#include "db/db_query.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

namespace {

class Memory : public TRegisterSource {
public:
    std::map<int, uint16_t> Registers;
    bool ReadRegisters(int startRegister, int count, std::vector<uint16_t>& registers) override {
        registers.clear();
        for (int i = 0; i < count; ++i)
            registers.push_back(Registers[startRegister + i]);
        return true;
    }
    void Put(int startRegister, std::span<const uint8_t> stream) {
        for (size_t i = 0; i + 1 < stream.size(); i += 2)
            Registers[startRegister + static_cast<int>(i / 2)] =
                static_cast<uint16_t>(stream[i] << 8 | stream[i + 1]);
    }
};

class TemplateRowsTest : public testing::Test {
protected:
    void SetUp() override {
        SetDecimalSeparator('.');
        ASSERT_TRUE(dir.isValid());
        connection.SetDatabaseName(dir.filePath(QStringLiteral("devices.db")));
        connection.Open();
        const QDir sources(QStringLiteral(PARSETTA_TEMPLATE_SQL_DIR));
        const QStringList files =
            sources.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name);
        ASSERT_FALSE(files.isEmpty());
        for (const QString& name : files) {
            QFile file(sources.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            connection.Execute(QString::fromUtf8(file.readAll()), 0);
        }
        TDbOptionListSource source(query);
        options.Load(source, nullptr);
    }

    std::vector<int> NodeIds() {
        std::vector<int> ids;
        query.Open(QStringLiteral("SELECT DISTINCT pid FROM mb_parameter ORDER BY pid"), 0);
        for (; !query.Eof(); query.Next())
            ids.push_back(query.FieldAsInteger(QStringLiteral("pid")));
        return ids;
    }

    std::vector<TParameterRow> Rows(const QString& sql) {
        std::vector<TParameterRow> rows;
        query.Open(sql, 0);
        for (; !query.Eof(); query.Next())
            rows.push_back(ParameterRowOf(query));
        query.Close();
        return rows;
    }

    QTemporaryDir dir;
    TDbConnection connection{QStringLiteral("SQLite3ConTpl"), drTemplate};
    TDbQuery query{connection, QStringLiteral("SQLQueryTpl")};
    TOptionListTable options;
};

// The rows that the write pass would write for a node, as it selects them.
std::vector<TParameterRow> WrittenRows(const std::vector<TParameterRow>& rows) {
    const TLabelTable labels(rows, lmWrite);
    std::vector<TParameterRow> written;
    for (const TParameterRow& row : rows) {
        if ((row.access & 2) && ConditionHolds(row, labels))
            written.push_back(row);
    }
    return written;
}

void Encode(const std::vector<TParameterRow>& rows, Memory& device) {
    std::map<std::string, std::vector<uint8_t>> blocks;
    for (const TParameterRow& row : rows) {
        const auto span = RegisterSpanOf(row);
        const auto place = StreamPlaceOf(row);
        ASSERT_TRUE(span && place) << "row " << row.id << " block " << row.block;
        if (!IsBlockRow(row)) {
            std::vector<uint8_t> buffer(static_cast<size_t>(row.regcnt) * 2, 0);
            EncodeParameterValue(row.type, row.value, row.regcnt * 2, buffer);
            device.Put(row.modreg, buffer);
            continue;
        }
        auto& stream = blocks[row.block];
        stream.resize(static_cast<size_t>(span->Count) * 2, 0);
        ASSERT_LE(place->Offset, static_cast<int>(stream.size())) << "row " << row.id;
        EncodeParameterValue(row.type, row.value, place->ByteCount,
                             std::span<uint8_t>(stream).subspan(place->Offset));
    }
    for (const auto& [block, stream] : blocks)
        device.Put(SplitNumberPair(block)->first, stream);
}

std::string Expected(const TParameterRow& row) {
    switch (ParamTypeOf(row.type)) {
    case ptASCII16:
    case ptASCII24:
        return Utf8Prefix(TrimText(row.value), ParamTypeOf(row.type) == ptASCII16 ? 16 : 24);
    case ptUnknown:
        return "";
    case ptFLOAT:
        return FormatFloatText(static_cast<float>(ParseDecimalText(row.value)));
    default:
        return std::to_string(ParseIntegerText(row.value).value_or(0));
    }
}

TEST_F(TemplateRowsTest, WrittenValuesReadBackUnchanged) {
    int checked = 0;
    for (int node : NodeIds()) {
        if (node == 0)
            continue; // the segment's own rows, which no device holds
        const auto rows = Rows(QStringLiteral("SELECT * FROM mb_parameter WHERE pid=%1 ORDER BY "
                                              "sorting")
                                   .arg(node));
        const auto written = WrittenRows(rows);
        Memory device;
        Encode(written, device);
        TArrParaCache cache;
        for (const TParameterRow& row : written) {
            const TArrResult result = DecodeParameter(row, cache, device);
            ASSERT_EQ(result.Status, 0) << "node " << node << " row " << row.sorting;
            EXPECT_EQ(StoredValueText(result.Text), Expected(row))
                << "node " << node << " row " << row.sorting << " " << row.type;
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

TEST_F(TemplateRowsTest, OptionValuesNameOptionsAndCopyTargetsMakeStatements) {
    const auto text = [](int32_t id) { return std::to_string(id); };
    for (const TParameterRow& row : Rows(QStringLiteral("SELECT * FROM mb_parameter"))) {
        if (IsOptionListType(ParamTypeOf(row.type))) {
            EXPECT_NE(options.Find(row.type), nullptr) << row.type;
        }
        if (ParamTypeOf(row.type) == ptSELECT && (row.access & 2)) {
            EXPECT_FALSE(OptionDisplayText(row.type, row.value, options, text).Caption.empty())
                << row.type << " = " << row.value << " (node " << row.pid << ")";
        }
        if (!TrimText(row.copyto).empty()) {
            EXPECT_TRUE(CopyToStatement(TrimText(row.copyto), "'x'", row.pid, 1)) << row.copyto;
        }
    }
}

TEST_F(TemplateRowsTest, DiagnosticRowsLieInsideTheirRegisters) {
    for (const TParameterRow& row : Rows(QStringLiteral("SELECT * FROM mb_diag"))) {
        Memory device;
        TArrParaCache cache;
        const TArrResult result = DecodeParameter(row, cache, device);
        EXPECT_EQ(result.Status, 0) << "diag row " << row.modreg << " " << row.type << " "
                                    << row.block << " " << row.byteofs;
    }
}

} // namespace
