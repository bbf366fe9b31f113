#include "params/copy_to_statement.h"
#include "params/sql_text.h"

#include <gtest/gtest.h>

namespace {

TEST(CopyToStatement, Forms) {
    struct Case {
        const char* copyto;
        const char* value;
        const char* statement; // nullptr: no statement
    } cases[] = {
        {"mb_segment.caption", "'Line 1'", "UPDATE mb_segment SET caption='Line 1' WHERE id=3"},
        {"mb_node.addr", "12", "UPDATE mb_node SET addr=12 WHERE id=42"},
        {"mb_node.parentID.name", "'T1'",
         "UPDATE mb_node SET name='T1' WHERE id=(SELECT parentID FROM mb_node WHERE id=42)"},
        {"mb_node.parentID.name.extra", "'T1'",
         "UPDATE mb_node SET name='T1' WHERE id=(SELECT parentID FROM mb_node WHERE id=42)"},
        {" mb_node . tag ", "'A'", "UPDATE mb_node SET tag='A' WHERE id=42"},
        {"mb_node.rfid", "'O''K'", "UPDATE mb_node SET rfid='O''K' WHERE id=42"},
        {"mb_node.tag", "1,5", "UPDATE mb_node SET tag='1,5' WHERE id=42"},
        {"mb_node.tag", "O'K", "UPDATE mb_node SET tag='O''K' WHERE id=42"},
        {"mb_parameter.value", "1", nullptr},
        {"mb_node", "1", nullptr},
        {"mb_node.", "1", nullptr},
        {"mb_node..name", "1", nullptr},
        {"mb_segment", "1", nullptr},
        {"mb_node.name=1 WHERE 1=1;--", "1", nullptr},
        {"mb_node.1abc", "1", nullptr},
        {"", "1", nullptr},
        {"MB_NODE.addr", "1", nullptr},
    };
    for (const Case& c : cases) {
        const auto statement = CopyToStatement(c.copyto, c.value, 42, 3);
        if (c.statement) {
            ASSERT_TRUE(statement) << c.copyto;
            EXPECT_EQ(*statement, c.statement);
        } else {
            EXPECT_FALSE(statement) << c.copyto << " gave " << statement.value_or("");
        }
    }
}

TEST(CopyToStatement, GridPassesTheEditedValueQuoted) {
    EXPECT_EQ(CopyToStatement("mb_node.tag", QuoteSqlText("'; DROP TABLE mb_node;--"), 5, 1),
              "UPDATE mb_node SET tag='''; DROP TABLE mb_node;--' WHERE id=5");
}

TEST(CopyToStatement, LogLineNamesTheTable) {
    EXPECT_EQ(CopyToLogLine("mb_segment.caption"), "UPDATE mb_segment");
    EXPECT_EQ(CopyToLogLine("mb_node.parentID.name"), "UPDATE mb_node");
    EXPECT_EQ(CopyToLogLine("mb_other.x"), "");
}

} // namespace
