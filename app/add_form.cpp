#include "app/add_form.h"

TAddForm::TAddForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AddForm"));
    setWindowTitle(QStringLiteral("Add Node"));
}
