// The template database as built: every consistency rule holds, and each rule does catch the
// fault it is there for.
#include "template_db_checks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

using TCheck = std::function<TemplateDbChecks::TProblems(SQLite::Database&)>;

struct TCheckCase {
    const char* name;
    TCheck check;
    const char* breakingSql; // turns the built database into one the check must reject
};

const TCheckCase Cases[] = {
    {"TextsComplete", TemplateDbChecks::TextsComplete, "UPDATE mb_text SET txt_fr='' WHERE id=206"},
    {"OptionListsDefined", TemplateDbChecks::OptionListsDefined,
     "DELETE FROM mb_select WHERE title='SELECT_UT_TC'"},
    {"RowsFitTheirRegisters", TemplateDbChecks::RowsFitTheirRegisters,
     "UPDATE mb_parameter SET byteofs='7:2' WHERE pid=1391 AND sorting=5"},
    {"FactoryValuesWithinLimits", TemplateDbChecks::FactoryValuesWithinLimits,
     "UPDATE mb_parameter SET factory='601' WHERE pid=1391 AND sorting=3"},
    {"LabelsAndConditions", TemplateDbChecks::LabelsAndConditions,
     "UPDATE mb_parameter SET cond='XX' WHERE pid=1392 AND sorting=2"},
    {"CopyToTargetsExist", TemplateDbChecks::CopyToTargetsExist,
     "UPDATE mb_parameter SET copyto='mb_node.parentID.serial' WHERE copyto LIKE '%rfid'"},
    {"WiringRulesValid", TemplateDbChecks::WiringRulesValid,
     "UPDATE mb_png SET pos=9 WHERE png='POWER'"},
    {"DiagFormatsValid", TemplateDbChecks::DiagFormatsValid,
     "UPDATE mb_diag SET format='%d h' WHERE type='UINT32'"},
    {"BrandDevicesExist", TemplateDbChecks::BrandDevicesExist,
     "UPDATE mb_node SET parentID=39 WHERE id=14"},
    {"DeviceNodesComplete", TemplateDbChecks::DeviceNodesComplete,
     "DELETE FROM mb_parameter WHERE pid=34 AND modreg=45010"},
    {"CopiedTextsSafe", TemplateDbChecks::CopiedTextsSafe,
     "UPDATE mb_node SET name='Relay''s' WHERE id=1393"},
};

std::string Joined(const TemplateDbChecks::TProblems& problems) {
    std::string text;
    for (const std::string& problem : problems)
        text += problem + "\n";
    return text;
}

class DevicesDb : public testing::TestWithParam<TCheckCase> {};

TEST_P(DevicesDb, BuiltDatabaseIsConsistent) {
    SQLite::Database db(PARSETTA_DEVICES_DB, SQLite::OPEN_READONLY);
    const auto problems = GetParam().check(db);
    EXPECT_TRUE(problems.empty()) << Joined(problems);
}

TEST_P(DevicesDb, CheckRejectsABrokenDatabase) {
    const auto copy = std::filesystem::temp_directory_path() /
                      (std::string("devices-broken-") + GetParam().name + ".db");
    std::filesystem::copy_file(PARSETTA_DEVICES_DB, copy,
                               std::filesystem::copy_options::overwrite_existing);
    {
        SQLite::Database db(copy.string(), SQLite::OPEN_READWRITE);
        ASSERT_GT(db.exec(GetParam().breakingSql), 0) << "the fault was not applied";
        EXPECT_FALSE(GetParam().check(db).empty());
    }
    std::filesystem::remove(copy);
}

INSTANTIATE_TEST_SUITE_P(Checks, DevicesDb, testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

// What the product line promises beyond consistency: the type codes, the version split, the
// parameter types, and a TT2 firmware without diagnostics.
TEST(DevicesDbProductLine, CoversTypesVersionsAndParameterKinds) {
    SQLite::Database db(PARSETTA_DEVICES_DB, SQLite::OPEN_READONLY);
    SQLite::Statement codes(db, "SELECT group_concat(devid) FROM (SELECT DISTINCT devid FROM "
                                "mb_node WHERE parentID=0 ORDER BY devid)");
    ASSERT_TRUE(codes.executeStep());
    EXPECT_EQ(codes.getColumn(0).getString(), "0002,0006,0007,0008,0009,000D,0106");

    EXPECT_EQ(db.execAndGet("SELECT count(*) FROM mb_node WHERE parentID=0 AND devid='000D' "
                            "AND (minversion<>'' OR maxversion<>'')")
                  .getInt(),
              2);
    const std::string types =
        db.execAndGet("SELECT group_concat(t) FROM (SELECT DISTINCT CASE WHEN substr(type,1,7) "
                      "IN ('SELECT_','BINARY_') THEN substr(type,1,7) ELSE type END AS t "
                      "FROM mb_parameter ORDER BY t)")
            .getString();
    EXPECT_EQ(types, "ASCII16,ASCII24,BINARY_,FLOAT,INT16,INT32,RESERVED,SELECT_,UINT16,UINT32");
    EXPECT_EQ(db.execAndGet("SELECT count(*) FROM mb_diag WHERE devid='0002' AND "
                            "(minversion='' OR minversion<='0101')")
                  .getInt(),
              0);
    EXPECT_GT(db.execAndGet("SELECT count(*) FROM mb_parameter WHERE pid=0").getInt(), 0);
    EXPECT_GT(db.execAndGet("SELECT count(*) FROM mb_node WHERE title LIKE '%{{abv16}}%'").getInt(),
              0);
}

} // namespace
