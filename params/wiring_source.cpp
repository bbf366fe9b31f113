#include "params/wiring_source.h"

#include "params/db_option_source.h"

#include "db/db_query.h"

namespace {

std::string Text(const TDbQuery& query, const QString& name) {
    return query.FieldAsString(name).toStdString();
}

TPngRule RuleOf(const TDbQuery& query) {
    TPngRule rule;
    rule.pos = query.FieldAsInteger(QStringLiteral("pos"));
    rule.png = Text(query, QStringLiteral("png"));
    for (int i = 0; i < 3; ++i) {
        const QString n = QString::number(i + 1);
        TPngCondition& condition = rule.Conditions[static_cast<size_t>(i)];
        condition.modreg = query.FieldAsInteger(QStringLiteral("modreg") + n);
        condition.mask = query.FieldAsInteger(QStringLiteral("mask") + n);
        condition.vlist = Text(query, QStringLiteral("vlist") + n);
    }
    return rule;
}

} // namespace

TWiringInput ReadWiringInput(TDbQuery& user, TDbQuery& templates, int deviceId) {
    TWiringInput input;
    user.Open(QString::fromStdString(WiringNodeQuery(deviceId)), 18);
    if (!user.Eof()) {
        input.Load = Text(user, QStringLiteral("load"));
        input.Devid = Text(user, QStringLiteral("devid"));
    }
    user.Close();
    const std::string loadList = LoadRegisterList(input.Load);
    if (!loadList.empty()) {
        user.Open(QString::fromStdString(WiringParameterQuery(deviceId, loadList)), 19);
        for (; !user.Eof(); user.Next())
            input.Rows.push_back(ParameterRowOf(user));
        user.Close();
    }
    templates.Open(QString::fromStdString(WiringRulesQuery(input.Devid)), 20);
    for (; !templates.Eof(); templates.Next())
        input.Rules.push_back(RuleOf(templates));
    templates.Close();
    return input;
}
