// The wiring view: the device body and up to eight terminal pictures in the info panel, chosen
// by the template's rules over the selected device's parameter values.
#include "app/main_form.h"

#include "params/wiring_source.h"

#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace {

constexpr int kIdRole = Qt::UserRole;

struct TPlace {
    const char* Name;
    QRect Rect;
};

// The nine places of the panel: device body, single input, four quarter blocks, rail connector
// and the two separator lines.
const std::array<TPlace, kWiringPlaces> kPlaces = {{
    {"ImageDEVICE", {99, 0, 129, 144}},
    {"ImageIN1", {0, 14, 92, 105}},
    {"ImageIN4Lo", {0, 14, 92, 48}},
    {"ImageIN4Lu", {0, 71, 92, 48}},
    {"ImageIN4Ro", {236, 14, 115, 48}},
    {"ImageIN4Ru", {236, 71, 115, 48}},
    {"ImageINRAIL", {106, 149, 115, 11}},
    {"ImageTRENNL", {14, 67, 82, 1}},
    {"ImageTRENNR", {232, 67, 82, 1}},
}};

// A picture drawn for a larger place is shrunk to fit, keeping its proportions.
QPixmap WiringPixmap(const QString& name, const QSize& place) {
    QPixmap picture(QStringLiteral(":/wiring/") + name);
    if (picture.isNull() ||
        (picture.width() <= place.width() && picture.height() <= place.height()))
        return picture;
    return picture.scaled(place, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace

QWidget* TMainForm::BuildWiringPanel(QWidget* parent) {
    Q_INIT_RESOURCE(wiring);
    auto* panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("PanelBESCHALTUNG"));
    panel->resize(351, 160);
    for (size_t place = 0; place < kPlaces.size(); ++place) {
        auto* image = new QLabel(panel);
        image->setObjectName(QLatin1String(kPlaces[place].Name));
        image->setGeometry(kPlaces[place].Rect);
        image->setAlignment(Qt::AlignCenter);
        WiringImages_[place] = image;
    }
    LabelDEVICE_ = new QLabel(panel);
    LabelDEVICE_->setObjectName(QStringLiteral("LabelDEVICE"));
    LabelDEVICE_->setGeometry(99, 62, 129, 15);
    LabelDEVICE_->setAlignment(Qt::AlignCenter);
    QFont bold = LabelDEVICE_->font();
    bold.setBold(true);
    LabelDEVICE_->setFont(bold);
    LabelDEVICE_->raise();
    panel->hide();
    return panel;
}

void TMainForm::showBeschaltung() {
    Memo1_->appendPlainText(QStringLiteral("--- showBeschaltung ---"));
    QTreeWidgetItem* item = NodeTreeView_->currentItem();
    while (item && item->parent() && item->parent()->parent())
        item = item->parent();
    const bool device = item && item->parent();
    PanelBESCHALTUNG_->setVisible(device);
    if (!device)
        return;
    const QString deviceImage = OemInfo_->GetValue(QStringLiteral("device_image"));
    LabelDEVICE_->setText(SelectedDeviceName_);
    QPalette palette = LabelDEVICE_->palette();
    palette.setColor(QPalette::WindowText, deviceImage == QLatin1String("DEVICE_SW")
                                               ? QColor(Qt::white)
                                               : this->palette().color(QPalette::WindowText));
    LabelDEVICE_->setPalette(palette);
    for (QLabel* image : WiringImages_)
        image->clear();
    const TWiringInput input =
        ReadWiringInput(Db_->SQLQuery1, Db_->SQLQueryTpl, item->data(0, kIdRole).toInt());
    Memo1_->appendPlainText(QStringLiteral("devid = ") + QString::fromStdString(input.Devid));
    const TWiringPictures view =
        ChooseWiringPictures(input.Rules, input.Rows, deviceImage.toStdString());
    for (const std::string& line : view.MemoLines)
        Memo1_->appendPlainText(QString::fromStdString(line));
    for (size_t place = 0; place < view.Pictures.size(); ++place) {
        const QString name = QString::fromStdString(view.Pictures[place]);
        if (!name.isEmpty())
            WiringImages_[place]->setPixmap(WiringPixmap(name, kPlaces[place].Rect.size()));
        WiringImages_[place]->setProperty("picture", name);
    }
}
