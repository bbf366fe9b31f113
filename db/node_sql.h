#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// The SQL texts of the node tree, of adding and deleting devices and of the add-node list, one
// function per statement kind. Texts are quoted with SqlQuote (apostrophes doubled), numbers that
// come from a database as text go through SqlNumber.

QString DevicesOfSegmentQuery(int segmentId);
QString SubNodesOfDeviceQuery(int segmentId, int deviceId);
QString NodeByIdQuery(int nodeId);
QString CollapseStatement(int nodeId, bool collapsed);

QString TemplateSubNodeCountQuery(int templateNodeId);
QString TemplateNodeQuery(int templateNodeId);
QString TemplateSubNodesQuery(int templateNodeId);

// The columns of a template node that the copy writes into the user database, as text.
struct TNodeInsertRow {
    QString Sorting, Title, Name, FullnameId, Devid, VendorId, Icon, IconActive, Cond, Vallist,
        Load, Collapse;
};
// parentId < 0 writes a device node (parentID keeps its default 0); otherwise a sub-node of the
// device parentId. Title and name are written as given (placeholders already resolved).
QString NodeInsertStatement(int segmentId, int parentId, const TNodeInsertRow& row);

QString SubNodeIdsQuery(int deviceId);
QString DeleteNodesStatement(const std::vector<int>& ids);
QString DeleteParametersStatement(const std::vector<int>& ids);

// The template's device nodes named in the brand's devices list, with their long names in the
// language; entries of the list that are not whole numbers are left out.
QString AddNodeListQuery(const QString& devices, const QString& language);
