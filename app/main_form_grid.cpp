// The parameter grid: filling it from the selected node's rows, cell selection, the in-place
// editor and the option list, and storing an edited value. The rules are those of
// params/grid_rules.h; this file moves texts between them, the cells and the databases.
#include "app/main_form.h"

#include "app/parameter_grid_delegate.h"
#include "app/program_log.h"
#include "params/db_option_source.h"
#include "params/grid_rules.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableWidget>

namespace {

constexpr int kGridRows = 49;
constexpr int kStoredRowTrace = 5;
constexpr int kCommonRowsTrace = 15;
constexpr int kNodeRowsTrace = 16;
constexpr int kOptionCaptionTrace = 17;
constexpr int kOptionItemsTrace = 21;
constexpr int kOptionChoiceTrace = 22;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string S(const QString& text) {
    return text.toStdString();
}

QString ParameterRowsQuery(int nodeId, int level) {
    const int pid = level > 0 ? nodeId : 0;
    return QStringLiteral("SELECT * FROM mb_parameter WHERE pid=%1 ORDER BY sorting").arg(pid);
}

} // namespace

QString TMainForm::CellText(int column, int row) const {
    const QTableWidgetItem* item = ParameterStringGrid_->item(row, column);
    return item ? item->text() : QString();
}

void TMainForm::SetCellText(int column, int row, const QString& text) {
    QTableWidgetItem* item = ParameterStringGrid_->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        ParameterStringGrid_->setItem(row, column, item);
    }
    item->setText(text);
    if (column <= gcDisplay)
        item->setToolTip(text);
}

TGridRow TMainForm::GridRowAt(int row) const {
    return {S(CellText(gcCaption, row)), S(CellText(gcDisplay, row)), S(CellText(gcId, row)),
            S(CellText(gcType, row)),    S(CellText(gcRW, row)),      S(CellText(gcValue, row))};
}

void TMainForm::SetupGridWidgets() {
    QTableWidget* grid = ParameterStringGrid_;
    GridDelegate_ = new TParameterGridDelegate(gcDisplay, gcRW, grid);
    grid->setItemDelegate(GridDelegate_);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid->setWordWrap(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setHighlightSections(false);
    // The value column follows the viewport, which changes after the grid's own resize event.
    grid->viewport()->installEventFilter(this);
    connect(grid, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        Guarded([&] { ParameterStringGridSelectCell(column, row); });
    });
    // A press on the current option cell opens the list again after it was closed.
    connect(grid, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (row == CurrentRow_ && !SelectComboBox_->isVisible() &&
            IsSelectType(S(CellText(gcType, row))))
            Guarded([&] { ParameterStringGridSelectCell(column, row); });
    });
    connect(GridDelegate_, &QAbstractItemDelegate::closeEditor, this,
            [this] { Guarded(&TMainForm::ParameterStringGridEditingDone); });
    connect(grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (column != gcDisplay)
            ParameterStringGridResize();
    });
    connect(SelectComboBox_, &QComboBox::activated, this,
            [this] { Guarded(&TMainForm::SelectComboBoxChange); });
    SelectComboBox_->installEventFilter(this);
}

void TMainForm::ClearParameterGrid() {
    const QSignalBlocker quiet(ParameterStringGrid_);
    SelectComboBox_->hide();
    ParameterStringGrid_->setCurrentCell(-1, -1);
    ParameterStringGrid_->clearContents();
    ParameterStringGrid_->setRowCount(kGridRows);
    ParameterStringGrid_->verticalScrollBar()->setValue(0);
}

std::vector<TParameterRow> TMainForm::ReadParameterRows(int nodeId, int level) {
    TDbQuery& query = Db_->SQLQuery1;
    query.Open(ParameterRowsQuery(nodeId, level), level > 0 ? kNodeRowsTrace : kCommonRowsTrace);
    std::vector<TParameterRow> rows;
    for (; !query.Eof(); query.Next())
        rows.push_back(ParameterRowOf(query));
    query.Close();
    return rows;
}

void TMainForm::FillParameterGrid(int nodeId, int level) {
    ClearParameterGrid();
    // An open edit was stored when its editor closed; it does not carry over to other rows.
    PendingEdit_ = false;
    const std::vector<TParameterRow> rows = ReadParameterRows(nodeId, level);
    if (!rows.empty()) {
        TDbOptionCatalog options(Db_->SQLQueryTpl, kOptionCaptionTrace);
        const TGridFill fill =
            FillParameterRows(rows, options, [this](int32_t id) { return S(LookupText(id)); });
        for (const std::string& line : fill.MemoLines)
            Memo1_->appendPlainText(Q(line));
        // Nodes with more visible rows than the grid's design size get more rows.
        ParameterStringGrid_->setRowCount(std::max<int>(kGridRows, fill.Rows.size()));
        for (size_t r = 0; r < fill.Rows.size(); ++r)
            ShowGridRow(static_cast<int>(r), fill.Rows[r]);
        for (const int32_t symbol : fill.NodeSymbols)
            SetNodeIcon(nodeId, symbol);
    }
    ParameterStringGrid_->setCurrentCell(0, gcDisplay);
    OldRowValue_ = CellText(gcValue, 0);
    LogLine(QStringLiteral("OldRowValue.2 = ") + OldRowValue_);
    if (ParameterStringGrid_->isVisible() && ParameterStringGrid_->isEnabled())
        ParameterStringGrid_->setFocus();
}

void TMainForm::ShowGridRow(int row, const TGridRow& cells) {
    const std::string* texts[] = {&cells.Caption, &cells.Display, &cells.Id,
                                  &cells.Type,    &cells.RW,      &cells.Value};
    for (int column = 0; column < 6; ++column)
        SetCellText(column, row, Q(*texts[column]));
    // Only typed values are edited in the cell; options go through the list.
    if (IsEditableCell(gcDisplay, cells) && !IsSelectType(cells.Type)) {
        QTableWidgetItem* value = ParameterStringGrid_->item(row, gcDisplay);
        value->setFlags(value->flags() | Qt::ItemIsEditable);
    }
}

void TMainForm::ParameterStringGridSelectCell(int column, int row) {
    if (row < 0)
        return;
    // Text typed into the editor belongs to the row it was typed in, whichever the grid reports
    // first: the end of the edit or the new cell.
    GridDelegate_->CommitOpenEditor();
    if (PendingEdit_) {
        ParameterStringGridEditingDone();
        PendingEdit_ = false;
        // A store that rebuilt the tree refilled the grid, which reported its own selection.
        if (ParameterStringGrid_->currentRow() != row ||
            ParameterStringGrid_->currentColumn() != column)
            return;
    }
    SelectComboBox_->hide();
    CurrentRow_ = row;
    OldRowValue_ = CellText(gcValue, row);
    LogLine(QStringLiteral("OldRowValue.3 = ") + OldRowValue_);
    const TGridRow cells = GridRowAt(row);
    if (!IsEditableCell(column, cells)) {
        ParameterStringGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        return;
    }
    PendingEdit_ = true;
    if (!IsSelectType(cells.Type)) {
        ParameterStringGrid_->setEditTriggers(QAbstractItemView::DoubleClicked |
                                              QAbstractItemView::EditKeyPressed |
                                              QAbstractItemView::AnyKeyPressed);
        return;
    }
    ParameterStringGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ShowOptionList(row, cells);
}

void TMainForm::ShowOptionList(int row, const TGridRow& cells) {
    const QSignalBlocker quiet(SelectComboBox_);
    SelectComboBox_->clear();
    std::vector<std::string> values;
    TDbQuery& query = Db_->SQLQueryTpl;
    query.Open(Q(OptionItemsQuery(cells.Type)), kOptionItemsTrace);
    for (; !query.Eof(); query.Next()) {
        values.push_back(S(query.FieldAsString(QStringLiteral("value"))));
        SelectComboBox_->addItem(LookupText(query.FieldAsInteger(QStringLiteral("textID"))));
    }
    query.Close();
    SelectComboBox_->setCurrentIndex(SelectedOptionIndex(values, cells.Value));
    const QRect cell =
        ParameterStringGrid_->visualRect(ParameterStringGrid_->model()->index(row, gcDisplay));
    SelectComboBox_->setGeometry(cell);
    SelectComboBox_->show();
    SelectComboBox_->raise();
    if (SelectComboBox_->isVisible())
        SelectComboBox_->setFocus();
}

void TMainForm::SelectComboBoxChange() {
    if (!SelectComboBox_->isVisible())
        return;
    SelectComboBox_->hide();
    const int index = SelectComboBox_->currentIndex();
    if (ParameterStringGrid_->isVisible())
        ParameterStringGrid_->setFocus();
    // Leaving the list without a choice changes nothing.
    if (index < 0 || CurrentRow_ < 0)
        return;
    SetCellText(gcDisplay, CurrentRow_, SelectComboBox_->itemText(index));
    TDbQuery& query = Db_->SQLQueryTpl;
    query.Open(Q(OptionChoiceQuery(S(CellText(gcType, CurrentRow_)), index)), kOptionChoiceTrace);
    if (!query.Eof()) {
        SetCellText(gcValue, CurrentRow_, query.FieldAsString(QStringLiteral("value")));
        const int symbol = query.FieldAsInteger(QStringLiteral("symbol"));
        if (symbol >= 0)
            SetNodeIcon(SelectedNodeId_, symbol);
    }
    query.Close();
    ParameterStringGridEditingDone();
}

TParameterRow TMainForm::StoredParameterRow(const QString& id) {
    TDbQuery& query = Db_->SQLQuery1;
    query.Open(QStringLiteral("SELECT * FROM mb_parameter WHERE id=") + id +
                   QStringLiteral(" LIMIT 0,1"),
               kStoredRowTrace);
    TParameterRow row;
    if (!query.Eof())
        row = ParameterRowOf(query);
    query.Close();
    return row;
}

void TMainForm::ParameterStringGridEditingDone() {
    const int row = CurrentRow_;
    if (RefreshInProgress_ || row < 0 || CellText(gcId, row).isEmpty())
        return;
    if (!IsSelectType(S(CellText(gcType, row))))
        SetCellText(gcValue, row, CellText(gcDisplay, row));
    const QString id = CellText(gcId, row);
    LogLine(QStringLiteral("EditingDone id=") + id);
    const TParameterRow stored = StoredParameterRow(QString::number(id.toInt()));
    const TEditStore edit =
        EvaluateEdit(stored, EditedValueText(GridRowAt(row)), S(OldRowValue_), CurrentSegmentId_);
    if (edit.Check.Corrected) {
        SetCellText(gcDisplay, row, Q(edit.Check.Value));
        SetCellText(gcValue, row, Q(edit.Check.Value));
        return;
    }
    if (edit.Store)
        StoreEdit(edit);
}

void TMainForm::StoreEdit(const TEditStore& edit) {
    // The first log lines belong to the statements, one each, in order.
    size_t line = 0;
    for (const TTracedStatement& statement : edit.Statements) {
        if (line < edit.LogLines.size())
            LogLine(Q(edit.LogLines[line++]));
        Db_->SQLite3Con.Execute(Q(statement.Sql), statement.Trace);
    }
    OldRowValue_ = Q(edit.Check.Value);
    for (; line < edit.LogLines.size(); ++line)
        LogLine(Q(edit.LogLines[line]));
    if (edit.Refresh == rkNone)
        return;
    RefreshInProgress_ = true;
    try {
        if (edit.Refresh == rkWiring)
            showBeschaltung();
        else
            BuildTree(CurrentSegmentId_);
        QApplication::processEvents();
    } catch (...) {
        RefreshInProgress_ = false;
        throw;
    }
    RefreshInProgress_ = false;
}

void TMainForm::ParameterStringGridResize() {
    QTableWidget* grid = ParameterStringGrid_;
    int rest = grid->viewport()->width() - grid->columnWidth(gcCaption);
    for (int column = gcId; column <= gcValue; ++column) {
        grid->setColumnHidden(column, !ServiceMode());
        if (ServiceMode())
            rest -= grid->columnWidth(column);
    }
    grid->setColumnWidth(gcDisplay, std::max(rest, 20));
}
