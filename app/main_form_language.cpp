// Languages of the main window: the template texts, the option lists, the resource strings and
// the captions they give the menus, buttons and grid.
#include "app/main_form.h"

#include "i18n/language.h"
#include "i18n/strings_main.h"
#include "params/db_option_source.h"

#include <QAction>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

namespace {

struct TCaption {
    const char* ObjectName;
    const TResourceString* Text;
};

// Menu items and pop-up items whose caption is one resource string of the main unit.
const TCaption kActionCaptions[] = {
    {"MenuItemOpen", &rs_main::rsffnen},
    {"MenuItemSave", &rs_main::rsspeichern},
    {"MenuItemPrint", &rs_main::rsdrucken},
    {"MenuItemExportPDF", &rs_main::rsexportalspdf},
    {"MenuItemBackup", &rs_main::rsdatensicheru},
    {"MenuItemRestore", &rs_main::rsrcksicherung},
    {"MenuItemExit", &rs_main::rsbeenden},
    {"MenuItemAddNode", &rs_main::rsaddnode},
    {"MenuItemDelNode", &rs_main::rsdelnode},
    {"MenuItemReadFromDevice", &rs_main::rsreadfromdevi},
    {"MenuItemWriteToDevice", &rs_main::rswritetodevic},
    {"MenuItemChangeAddress", &rs_main::rschangeaddres},
    {"MenuItemDiagDevice", &rs_main::rsgertediagnos},
    {"MenuItemDiagModbus", &rs_main::rsmodbusdiagno},
    {"MenuItemLangDE", &rs_main::rsdeutsch},
    {"MenuItemLangEN", &rs_main::rsenglish},
    {"MenuItemLangFR", &rs_main::rsfranais},
    {"MenuItemCommunication", &rs_main::rskommunikatio},
    {"MenuItemOnlineHelp", &rs_main::rsonlinehilfe},
    {"MenuItemWebsite", &rs_main::rswebsite},
    {"MenuManual", &rs_main::rsmodbusmanual},
    {"MenuItemUpdates", &rs_main::rsnachupdatess},
    {"PopupItemAddNode", &rs_main::rsaddnode},
    {"PopupItemDelNode", &rs_main::rsdelnode},
    {"PopupItemReadFromDevice", &rs_main::rsreadfromdevi},
    {"PopupItemWriteToDevice", &rs_main::rswritetodevic},
    {"PopupItemChangeAddress", &rs_main::rschangeaddres},
    {"PopupItemCancel", &rs_main::rscancel},
};

const TCaption kMenuTitles[] = {
    {"MenuItemFile", &rs_main::rsdatei},          {"MenuItemDevice", &rs_main::rsdevice},
    {"MenuItemDiagnostic", &rs_main::rsdiagnose}, {"MenuItemSettings", &rs_main::rseinstellunge},
    {"MenuItemHelp", &rs_main::rshilfe},
};

const TCaption kButtonHints[] = {
    {"SpeedButtonReadFromDevice", &rs_main::rsreadfromdevi},
    {"SpeedButtonWriteToDevice", &rs_main::rswritetodevic},
    {"SpeedButtonAddNode", &rs_main::rsaddnode},
};

} // namespace

void TMainForm::SettleLanguage() {
    const TOemInfo& oem = *OemInfo_;
    TLanguageOffer offer;
    offer.De = oem.GetFlag(QStringLiteral("lang_de"));
    offer.En = oem.GetFlag(QStringLiteral("lang_en"));
    offer.Fr = oem.GetFlag(QStringLiteral("lang_fr"));
    offer.Fallback = oem.GetValue(QStringLiteral("lang_fallback"));
    SetLanguageCode(::SettleLanguage(Language_, QLocale::system().name(), offer));
}

// Language and the brand's language index change together, so that placeholders resolved while
// the texts are reloaded already take the new language.
void TMainForm::SetLanguageCode(const QString& code) {
    Language_ = code;
    OemInfo_->SetLanguageIndex(LanguageIndexOf(code));
}

void TMainForm::SetLanguage(const QString& code) {
    SetLanguageCode(code);
    HelpBase_ = ::SetLanguage(code, OemInfo_->GetValue(QStringLiteral("webhelp_url")));
}

void TMainForm::LoadTexts() {
    TextList_.Clear();
    std::vector<TTextRow> rows;
    TDbQuery& q = Db_->SQLQueryTpl;
    q.Open(LoadTextsSql(Language_), 30);
    for (; !q.Eof(); q.Next()) {
        const QStringList fields = q.FieldNames();
        rows.push_back({q.FieldAsInteger(fields.value(0)), q.FieldAsString(fields.value(1))});
    }
    q.Close();
    TextList_.Load(rows, [this](const QString& text) { return OemInfo_->ReplaceTags(text); });
}

void TMainForm::LoadOptionLists() {
    TDbOptionListSource source(Db_->SQLQueryTpl);
    OptionListTable_.Load(source, [this](const std::string& line) {
        Memo1_->appendPlainText(QString::fromStdString(line));
    });
}

void TMainForm::MenuItemLangClick(int tag) {
    SetLanguageCode(LanguageOfMenuTag(tag));
    LoadTexts();
    SetLanguage(Language_);
    TranslateMainWindow(LanguageItems_[std::clamp(tag, 0, 2)]);
}

void TMainForm::TranslateMainWindow(const QObject* sender) {
    for (const TCaption& c : kMenuTitles) {
        if (auto* menu = findChild<QMenu*>(QLatin1String(c.ObjectName)))
            menu->setTitle(c.Text->Text());
    }
    for (const TCaption& c : kActionCaptions) {
        for (QAction* action : findChildren<QAction*>(QLatin1String(c.ObjectName)))
            action->setText(c.Text->Text());
    }
    for (const TCaption& c : kButtonHints) {
        if (auto* button = findChild<QToolButton*>(QLatin1String(c.ObjectName)))
            button->setToolTip(c.Text->Text());
    }
    MenuItemAbout_->setText(rs_main::rsberparsetta.Text() + QLatin1Char(' ') + ProgName() +
                            QStringLiteral(" ..."));
    ParameterStringGrid_->horizontalHeaderItem(0)->setText(rs_main::rsparameter.Text());
    ParameterStringGrid_->horizontalHeaderItem(1)->setText(rs_main::rswert.Text());
    PageToggleButton_->setText(rs_main::rsdiagnose.Text());
    ShowConnectionStatus();
    if (sender != &MainTimer_)
        BuildTree(CurrentSegmentId_);
}

QString TMainForm::ProgName() const {
    return OemInfo_->GetValue(QStringLiteral("prog_name"));
}
