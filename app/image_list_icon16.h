#pragma once

#include <QIcon>

// The 16-pixel image list of the tree, the read and write commands and the diagnostics menu,
// reached by index as the databases store it (mb_node.icon, mb_option.symbol). An index without
// a picture gives an empty icon, so a template with an unknown index draws no picture instead of
// failing.
class TImageListIcon16 {
public:
    static const TImageListIcon16& Instance();

    QIcon Icon(int index) const;
    bool Has(int index) const;
    // The indices that have a picture, ascending.
    QList<int> Indices() const { return Indices_; }

private:
    TImageListIcon16();
    QList<int> Indices_;
};
