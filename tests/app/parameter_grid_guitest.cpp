// The parameter grid and the wiring view on the real window, over the bundled template: what a
// selection shows, what an edit stores, what an option choice stores and redraws.
#include "gui_fixture.h"

#include "app/add_form.h"
#include "app/app_windows.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <SQLiteCpp/SQLiteCpp.h>

namespace {

enum { cCaption, cDisplay, cId, cType, cRW, cValue };

void MakeBundledTemplate(const TGuiFixture& f) {
    SQLite::Database db(f.InCwd(QStringLiteral("devices.db")).toStdString(),
                        SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    const QDir sources(QStringLiteral(PARSETTA_TEMPLATE_SQL_DIR));
    for (const QString& name :
         sources.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name)) {
        QFile file(sources.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        db.exec(file.readAll().toStdString());
    }
}

QString UserDb(const TGuiFixture& f) {
    return f.DataHome() + QStringLiteral("/KOLVANE/RERUDADadivod/kolvanebus.db");
}

QString Value(const QString& path, const QString& sql) {
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY);
    SQLite::Statement q(db, sql.toStdString());
    return q.executeStep() ? QString::fromUtf8(q.getColumn(0).getText()) : QStringLiteral("<none>");
}

void AddDevice(TMainForm& form, const QString& text) {
    form.findChild<QAction*>(QStringLiteral("MenuItemAddNode"))->trigger();
    TAddForm* add = AppWindows().AddForm;
    QTRY_VERIFY(add->isVisible());
    const QList<QListWidgetItem*> hits = add->ListBoxAddNode()->findItems(text, Qt::MatchContains);
    QCOMPARE(hits.size(), 1);
    add->ListBoxAddNode()->setCurrentItem(hits[0]);
    QTest::mouseClick(add->ButtonAdd(), Qt::LeftButton);
}

QTreeWidgetItem* Device(TMainForm& form) {
    return form.NodeTreeView()->topLevelItem(0)->child(0);
}

QString Cell(TMainForm& form, int row, int column) {
    const QTableWidgetItem* item = form.ParameterStringGrid()->item(row, column);
    return item ? item->text() : QString();
}

QStringList Captions(TMainForm& form) {
    QStringList captions;
    for (int r = 0; !Cell(form, r, cCaption).isEmpty(); ++r)
        captions << Cell(form, r, cCaption);
    return captions;
}

int RowOf(TMainForm& form, const QString& caption) {
    return static_cast<int>(Captions(form).indexOf(caption));
}

// Types text into the value cell's in-place editor and ends the edit with Return.
void TypeInto(TMainForm& form, int row, const QString& text) {
    QTableWidget* grid = form.ParameterStringGrid();
    grid->setCurrentCell(row, cDisplay);
    grid->editItem(grid->item(row, cDisplay));
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->setText(text);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!grid->viewport()->findChild<QLineEdit*>());
}

QString StoredValue(const TGuiFixture& f, TMainForm& form, int row) {
    return Value(UserDb(f), "SELECT value FROM mb_parameter WHERE id=" + Cell(form, row, cId));
}

QString Picture(TMainForm& form, int place) {
    return form.WiringImage(place)->property("picture").toString();
}

} // namespace

class TParameterGridTest : public QObject {
    Q_OBJECT
private slots:
    void selectionFillsGridAndWiring();
    void editsAreCheckedThenStored();
    void optionChoiceIsStoredAndRedrawsTheWiring();
    void readOnlyRowsStayReadOnlyAndColumnsFollowServiceMode();
    void writableValuesAreMarkedAndLongNodesGrowTheGrid();
};

void TParameterGridTest::selectionFillsGridAndWiring() {
    TGuiFixture f;
    MakeBundledTemplate(f);
    auto form = f.Start({"/KOLVANE"});
    AddDevice(*form, "KUT 10 Universaltransmitter (ab");
    QVERIFY(Device(*form));
    QTreeWidgetItem* device = Device(*form);
    QVERIFY(device);

    form->NodeTreeView()->setCurrentItem(device->child(0));
    QCOMPARE(Captions(*form), QStringList({"Eingangsart", "Filterzeit (0,1 s)",
                                           "Messbereichsanfang", "Messbereichsende", "Einheit",
                                           "Verhalten bei Fühlerbruch", Cell(*form, 6, cCaption)}));
    // The option's caption in the value column, its number in the service column; the hidden
    // calibration row (access 7) and the rows of other input types are not shown.
    QCOMPARE(Cell(*form, 0, cDisplay), QStringLiteral("4–20 mA"));
    QCOMPARE(Cell(*form, 0, cValue), QStringLiteral("1"));
    QCOMPARE(Cell(*form, 0, cType), QStringLiteral("SELECT_UT_INPUT"));
    QCOMPARE(Cell(*form, 0, cRW), QStringLiteral("RW"));
    QCOMPARE(Cell(*form, 6, cRW), QStringLiteral("R"));
    QVERIFY(!Captions(*form).contains(QStringLiteral("Anschlussart")));
    QVERIFY(!form->ParameterStringGrid()->isColumnHidden(cValue));
    QVERIFY(form->Memo1()->toPlainText().contains("Abhängigkeits-Label IT = 1"));

    // The wiring of a 4-20 mA input, current output, no relays; the device body from the brand.
    QVERIFY(form->PanelBESCHALTUNG()->isVisible());
    QCOMPARE(form->LabelDEVICE()->text(), QStringLiteral("KUT 10"));
    const QStringList pictures = {"DEVICE_GR", "IN1_MA_L", "", "",          "OUT4_STROM_R",
                                  "POWER",     "MODBUS",   "", "TRENNLINIE"};
    for (int place = 0; place < 9; ++place) {
        QCOMPARE(Picture(*form, place), pictures[place]);
        QCOMPARE(form->WiringImage(place)->pixmap().isNull(), pictures[place].isEmpty());
    }
    QVERIFY(form->Memo1()->toPlainText().contains("devid = 000D"));

    form->NodeTreeView()->setCurrentItem(form->NodeTreeView()->topLevelItem(0));
    QVERIFY(!form->PanelBESCHALTUNG()->isVisible());
    // The segment shows the common rows.
    QCOMPARE(Captions(*form), QStringList({"Segmentname", "Segment-Kennzeichen"}));
}

void TParameterGridTest::editsAreCheckedThenStored() {
    TGuiFixture f;
    MakeBundledTemplate(f);
    auto form = f.Start({"/KOLVANE"});
    AddDevice(*form, "KUT 10 Universaltransmitter (ab");
    QVERIFY(Device(*form));
    form->NodeTreeView()->setCurrentItem(Device(*form)->child(0));
    const int filter = RowOf(*form, "Filterzeit (0,1 s)"); // UINT16, 0..600
    const int start = RowOf(*form, "Messbereichsanfang");  // FLOAT, -20..20

    // Above the limit: the cell shows the limit, nothing is stored until the next selection.
    TypeInto(*form, filter, "700");
    QCOMPARE(Cell(*form, filter, cDisplay), QStringLiteral("600"));
    QCOMPARE(Cell(*form, filter, cValue), QStringLiteral("600"));
    QCOMPARE(StoredValue(f, *form, filter), QStringLiteral("10"));
    form->ParameterStringGrid()->setCurrentCell(start, cDisplay);
    QCOMPARE(StoredValue(f, *form, filter), QStringLiteral("600"));

    TypeInto(*form, filter, "abc");
    QCOMPARE(Cell(*form, filter, cDisplay), QStringLiteral("0"));
    TypeInto(*form, filter, "50");
    QCOMPARE(StoredValue(f, *form, filter), QStringLiteral("50"));
    // The same value again stores nothing.
    const int updates = form->Memo1()->toPlainText().count("Execute[7]");
    TypeInto(*form, filter, "50");
    form->ParameterStringGrid()->setCurrentCell(start, cDisplay);
    QCOMPARE(form->Memo1()->toPlainText().count("Execute[7]"), updates);

    TypeInto(*form, start, "25");
    QCOMPARE(Cell(*form, start, cDisplay), QStringLiteral("20"));
    TypeInto(*form, start, "-1.5");
    QCOMPARE(StoredValue(f, *form, start), QStringLiteral("-1.5"));

    // A text with an apostrophe reaches the row and its copy target; the tree is rebuilt.
    form->NodeTreeView()->setCurrentItem(Device(*form));
    const int tag = RowOf(*form, "Messstelle");
    QVERIFY(tag >= 0);
    TypeInto(*form, tag, "it's TT-1");
    QCOMPARE(StoredValue(f, *form, tag), QStringLiteral("it's TT-1"));
    QCOMPARE(Value(UserDb(f), "SELECT tag FROM mb_node WHERE id=1"), QStringLiteral("it's TT-1"));
    QTRY_VERIFY(Device(*form)->text(0).endsWith(QStringLiteral("it's TT-1")));
    // ASCII16: at most 16 characters.
    TypeInto(*form, RowOf(*form, "Messstelle"), "ABCDEFGHIJKLMNOPQRST");
    QCOMPARE(Cell(*form, RowOf(*form, "Messstelle"), cDisplay), QStringLiteral("ABCDEFGHIJKLMNOP"));
}

void TParameterGridTest::optionChoiceIsStoredAndRedrawsTheWiring() {
    TGuiFixture f;
    MakeBundledTemplate(f);
    auto form = f.Start({"/KOLVANE"});
    AddDevice(*form, "KUT 10 Universaltransmitter (ab");
    QVERIFY(Device(*form));
    form->NodeTreeView()->setCurrentItem(Device(*form)->child(0));
    QTableWidget* grid = form->ParameterStringGrid();
    grid->setCurrentCell(1, cDisplay);
    grid->setCurrentCell(0, cDisplay);
    QComboBox* list = form->SelectComboBox();
    QVERIFY(list->isVisible());
    QCOMPARE(list->count(), 7);
    QCOMPARE(list->currentText(), QStringLiteral("4–20 mA"));
    QCOMPARE(list->geometry(), grid->visualRect(grid->model()->index(0, cDisplay)));

    QTest::keyClick(list, Qt::Key_Down);
    QVERIFY(!list->isVisible());
    QCOMPARE(Cell(*form, 0, cDisplay), QStringLiteral("0–10 V"));
    QCOMPARE(Cell(*form, 0, cValue), QStringLiteral("2"));
    QCOMPARE(StoredValue(f, *form, 0), QStringLiteral("2"));
    // Refresh "2": the input picture follows the new input type.
    QCOMPARE(Picture(*form, 1), QStringLiteral("IN1_V_L"));
    QVERIFY(form->Memo1()->toPlainText().contains("Execute[22]") ||
            form->Memo1()->toPlainText().contains("LIMIT 2,1"));
}

void TParameterGridTest::readOnlyRowsStayReadOnlyAndColumnsFollowServiceMode() {
    TGuiFixture f;
    MakeBundledTemplate(f);
    auto form = f.Start({"/KOLVANE"});
    AddDevice(*form, "KUT 10 Universaltransmitter (ab");
    QVERIFY(Device(*form));
    form->NodeTreeView()->setCurrentItem(Device(*form)->child(4)); // device data: read only
    QTableWidget* grid = form->ParameterStringGrid();
    grid->setCurrentCell(1, cDisplay);
    QCOMPARE(Cell(*form, 1, cRW), QStringLiteral("R"));
    QVERIFY(!form->PendingEdit());
    QVERIFY(!(grid->item(1, cDisplay)->flags() & Qt::ItemIsEditable));
    grid->editItem(grid->item(1, cDisplay));
    QVERIFY(!grid->viewport()->findChild<QLineEdit*>());
    form->close();
    form.reset();

    // Outside service mode only caption and value show, the value taking the rest of the width.
    auto plain = f.Start({});
    plain->NodeTreeView()->setCurrentItem(Device(*plain)->child(0));
    QTableWidget* g = plain->ParameterStringGrid();
    for (int column = cId; column <= cValue; ++column)
        QVERIFY(g->isColumnHidden(column));
    QCOMPARE(g->columnWidth(cDisplay), g->viewport()->width() - g->columnWidth(cCaption));
    QCOMPARE(Cell(*plain, 0, cDisplay), QStringLiteral("4–20 mA"));
}

void TParameterGridTest::writableValuesAreMarkedAndLongNodesGrowTheGrid() {
    TGuiFixture f;
    MakeBundledTemplate(f);
    auto form = f.Start({"/KOLVANE"});
    AddDevice(*form, "KUT 10 Universaltransmitter (ab");
    QVERIFY(Device(*form));
    QTableWidget* grid = form->ParameterStringGrid();
    const QColor marked = grid->palette().color(QPalette::ToolTipBase);
    QVERIFY(marked != grid->palette().color(QPalette::Base));
    const auto background = [&](int row) {
        const QRect cell = grid->visualRect(grid->model()->index(row, cDisplay));
        return grid->viewport()->grab().toImage().pixelColor(cell.right() - 3, cell.center().y());
    };
    // Input: the filter time (RW) is marked, the reserved row (R) is not; the selected row is
    // drawn as selected.
    form->NodeTreeView()->setCurrentItem(Device(*form)->child(0));
    grid->setCurrentCell(RowOf(*form, "Filterzeit (0,1 s)"), cCaption);
    const int reserved = static_cast<int>(Captions(*form).size()) - 1;
    QCOMPARE(Cell(*form, reserved, cRW), QStringLiteral("R"));
    QCOMPARE(background(RowOf(*form, "Messbereichsanfang")), marked);
    QVERIFY(background(reserved) != marked);
    QVERIFY(background(RowOf(*form, "Filterzeit (0,1 s)")) != marked);

    // A node with more rows than the grid was designed for shows them all.
    SQLite::Database db(UserDb(f).toStdString(), SQLite::OPEN_READWRITE);
    for (int i = 0; i < 60; ++i)
        db.exec("INSERT INTO mb_parameter (pid, sorting, modreg, type, value, textID) VALUES"
                " (6, " +
                std::to_string(100 + i) + ", 49000, 'UINT16', '" + std::to_string(i) + "', 9)");
    form->NodeTreeView()->setCurrentItem(Device(*form)->child(2));
    form->NodeTreeView()->setCurrentItem(Device(*form)->child(4));
    QCOMPARE(grid->rowCount(), 64);
    QCOMPARE(Cell(*form, 63, cValue), QStringLiteral("59"));
}

int main(int argc, char* argv[]) {
    PrepareGuiTestProcess();
    QApplication application(argc, argv);
    TParameterGridTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "parameter_grid_guitest.moc"
