#pragma once

#include "db/database_set.h"
#include "db/node_manager.h"
#include "db/progress_sink.h"
#include "devcomm/device_messages.h"

#include <QStringList>
#include <QTemporaryDir>
#include <ostream>
#include <utility>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// Messages recorded in order; confirmations answered with Answer.
class TRecordedMessages : public TDeviceMessages {
public:
    void ShowMessage(const QString& text) override { Shown << text; }
    bool ConfirmWarning(const QString& title, const QString& text) override {
        Confirmations << title + QStringLiteral(": ") + text;
        return Answer;
    }
    QStringList Shown;
    QStringList Confirmations;
    bool Answer = true;
};

class TRecordedProgress : public TProgressSink {
public:
    void StartProgress(const QString& caption, int maximum) override {
        Caption = caption;
        Maximum = maximum;
    }
    void StepProgress(int position) override { Position = position; }
    void FinishProgress() override { Finished = true; }
    QString Caption;
    int Maximum = -1;
    int Position = 0;
    bool Finished = false;
};

// A fresh user database in a temporary folder beside the built template database, with hooks
// that record the memo, the program log and every trace.
class TUserDbFixture {
public:
    TUserDbFixture();

    QString UserDbPath() const { return Dir.filePath(QStringLiteral("user.db")); }
    // Rows of a query on the user database file, columns joined by "|".
    QStringList Rows(const QString& sql) const;
    // Adds a device from the template database and sets its address and identification text.
    int AddDevice(int templateId, int addr, const QString& rfid);

    QTemporaryDir Dir;
    QStringList Memo;
    QStringList Log;
    std::vector<std::pair<int, QString>> Traces;
    TDbHooks Hooks;
    TDatabaseSet Db;
    TNodeManager Nodes{Db};
};
