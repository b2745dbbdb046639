#include "ui/frmAbout.h"

#include "ui_frmAbout.h"

namespace korvane {

namespace {

constexpr QColor kBackground{255, 224, 192};
constexpr double kTextPointSize = 9.75;

QString description() {
    return QStringLiteral("With Korvane you can broadcast chess games live on the Internet.\n\n") +
           "Korvane monitors selected pgn files, and when a file changes it is converted to " +
           "Html/JavaScript and uploaded to your server. You can make an overview page with "
           "diagrams of all " +
           "positions each time a game changes, and the pgn files can be uploaded too if you so "
           "wish.\n\n" +
           "Korvane also needs the pgn to Html/JavaScript conversion utility Vistrel, which "
           "comes with it.";
}

}  // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::frmAbout>()) {
    ui->setupUi(this);
    setFixedSize(size());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kBackground);
    setPalette(palette);
    setAutoFillBackground(true);
    for (QLabel* label : {ui->Label2, ui->Label3}) {
        QFont font = label->font();
        font.setPointSizeF(kTextPointSize);
        label->setFont(font);
    }
    ui->Label2->setText(description());
    connect(ui->cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

frmAbout::~frmAbout() = default;

}  // namespace korvane
