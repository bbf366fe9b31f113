#pragma once

// Test data of the node tree and node copy tests: a small template with two device types and
// a user database created from it. Header-only, so that each test program links only
// db_fixture.cpp beside its own file.

#include "db/progress_sink.h"
#include "db/user_database.h"

#include "db_fixture.h"

#include <QStringList>

// Template node 39 (two sub-nodes, parameter rows on the device and both sub-nodes, an
// apostrophe in a sub-node title and in a parameter text) and node 13 (no sub-nodes, no
// parameter rows); long names in three languages with brand placeholders.
inline void AddTemplateNodes(const QString& templatePath) {
    ExecOnFile(templatePath,
               "CREATE TABLE mb_node (id INTEGER PRIMARY KEY, pid int DEFAULT 0, sorting int,"
               " title varchar(32), parentID int, name varchar(32), fullnameID int,"
               " devid varchar(4), vendorID int, icon int, icon_active int,"
               " minversion varchar(4), maxversion varchar(4), online char(1) DEFAULT '',"
               " addr int DEFAULT 0, rfid varchar(16) DEFAULT '', tag varchar(16) DEFAULT '',"
               " cond varchar(64), vallist varchar(64), load varchar(64), collapse char(1));"
               "INSERT INTO mb_node (id,sorting,title,parentID,name,fullnameID,devid,vendorID,"
               " icon,icon_active,minversion,maxversion,cond,vallist,load,collapse) VALUES"
               " (39,1,'{{UT10}}{{abv16}}',0,'{{UT10}}',200,'000D',1,20,21,'0106','','','',"
               "  '41001,41101',''),"
               " (1392,2,'Relay''s contact',39,'Relay',204,'000D',1,25,25,'','','IT','1,2','',''),"
               " (1391,1,'Input',39,'Input',202,'000D',1,22,22,'','','','','',''),"
               " (13,1,'{{UT10}}',0,'{{UT10}}',201,'000D',1,20,21,'','0105','','','',''),"
               " (8,1,'DI4',0,'DI4',203,'0011',1,20,21,'','','','','','');"
               "CREATE TABLE mb_text (id INTEGER PRIMARY KEY, txt_de text, txt_en text,"
               " txt_fr text);"
               "INSERT INTO mb_text VALUES"
               " (200,'{{UT10}} Universaltransmitter','{{UT10}} universal transmitter',"
               "  'Transmetteur universel {{UT10}}'),"
               " (201,'{{UT10}} alt','{{UT10}} old','{{UT10}} ancien'),"
               " (202,'Eingang','Input','Entrée'),"
               " (203,'DI4 Binaereingaenge','DI4 digital inputs','DI4 entrées'),"
               " (204,'Relais','Relay','Relais');"
               "INSERT INTO mb_parameter (pid,sorting,modreg,regcnt,access,type,value,min,max,"
               " factory,textID,copyto,refresh,block,byteofs,label,cond,vallist) VALUES"
               " (1391,1,41001,1,3,'SELECT_UT_INPUT','1','','','1',206,'','2','41001:8','0:1',"
               "  'IT','',''),"
               " (1391,2,41002,2,3,'FLOAT','0.5','-10','10','0',210,'','','0','0','','IT','3,5'),"
               " (1392,1,41301,1,3,'ASCII16','Kessel ''A''','','','',221,'','','0','0','','','');");
}

// The brand placeholders of the tests.
inline QString TestReplaceTags(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("{{UT10}}"), QStringLiteral("UT10"));
    result.replace(QStringLiteral("{{abv16}}"), QStringLiteral(" (ab V1.6)"));
    return result;
}

// A fixture with the template open and a new user database (segment 1, common rows).
class TNodeFixture : public TDbFixture {
public:
    TNodeFixture() {
        const QString templatePath = MakeTemplate();
        AddTemplateNodes(templatePath);
        Db.SQLite3ConTpl.SetDatabaseName(templatePath);
        Db.SQLite3ConTpl.Open(false);
        UserPath = Path(QStringLiteral("user/kolvanebus.db"));
        CreateUserDatabase(Db, UserPath);
        Traces.clear();
        Log.clear();
        Memo.clear();
    }

    QStringList UserRows(const QString& sql) {
        Db.SQLite3Con.CommitIfActive();
        return RowsOf(UserPath, sql);
    }

    std::vector<int> TraceNumbers() const {
        std::vector<int> numbers;
        for (const auto& trace : Traces)
            numbers.push_back(trace.first);
        return numbers;
    }

    QString UserPath;
};

// Records the progress calls as text, e.g. "start AddNode 3", "step 1", "finish".
class TRecordingProgress : public TProgressSink {
public:
    void StartProgress(const QString& caption, int maximum) override {
        Calls << QStringLiteral("start %1 %2").arg(caption).arg(maximum);
    }
    void StepProgress(int position) override { Calls << QStringLiteral("step %1").arg(position); }
    void FinishProgress() override { Calls << QStringLiteral("finish"); }

    QStringList Calls;
};
