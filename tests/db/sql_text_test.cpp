#include "db/sql_text.h"

#include <gtest/gtest.h>

TEST(SqlText, QuoteDoublesEveryApostrophe) {
    EXPECT_EQ(SqlQuote(QString()), QStringLiteral("''"));
    EXPECT_EQ(SqlQuote(QStringLiteral("Halle 1")), QStringLiteral("'Halle 1'"));
    EXPECT_EQ(SqlQuote(QStringLiteral("O'Brien''s")), QStringLiteral("'O''Brien''''s'"));
}

TEST(SqlText, NumbersFromTemplateTextStayBareOrBecomeZero) {
    EXPECT_EQ(SqlNumber(QStringLiteral(" 45010 ")), QStringLiteral("45010"));
    EXPECT_EQ(SqlNumber(QStringLiteral("-1")), QStringLiteral("-1"));
    EXPECT_EQ(SqlNumber(QStringLiteral("0.5")), QStringLiteral("0.5"));
    EXPECT_EQ(SqlNumber(QStringLiteral("1);DROP TABLE mb_node")), QStringLiteral("0"));
}

TEST(SqlText, SegmentCreationStatementHasSevenLines) {
    const QString expected = QStringLiteral("CREATE TABLE `mb_segment` (\r\n"
                                            " `id` INTEGER PRIMARY KEY,\r\n"
                                            " `pid` int(10) NOT NULL default '0',\r\n"
                                            " `sorting` int(10) NOT NULL default '0',\r\n"
                                            " `caption` varchar(64) NOT NULL default '',\r\n"
                                            " `tag` varchar(16) NOT NULL default ''\r\n"
                                            ");");
    EXPECT_EQ(CreateTableStatement(QStringLiteral("mb_segment"), SegmentFields()), expected);
}

TEST(SqlText, AddColumnStatement) {
    EXPECT_EQ(
        AddColumnStatement(QStringLiteral("mb_node"), NodeFields()[19]),
        QStringLiteral("ALTER TABLE mb_node ADD COLUMN load varchar(64) NOT NULL default '';"));
}

TEST(SqlText, ParameterInsertIsOneMultiRowStatement) {
    TParameterInsertRow a;
    a.Sorting = "1";
    a.Modreg = "45010";
    a.Regcnt = "1";
    a.Access = "3";
    a.Type = "UINT16";
    a.TextId = "7";
    TParameterInsertRow b = a;
    b.Value = "it's";
    const QString sql = ParameterInsertStatement(12, {a, b});
    EXPECT_TRUE(
        sql.startsWith(QStringLiteral("INSERT INTO mb_parameter (pid,sorting,modreg,regcnt,"
                                      "access,type,value,min,max,factory,textID,copyto,"
                                      "refresh,block,byteofs,label,cond,vallist) VALUES \r\n"
                                      "(12,1,45010,1,3,'UINT16','','','','',7,")));
    EXPECT_TRUE(sql.contains(QStringLiteral("\r\n,(12,1,45010,1,3,'UINT16','it''s',")));
    EXPECT_TRUE(sql.endsWith(QStringLiteral(")\r\n")));
}
